#include "platform/clsShell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString run(const QString& commandLine, const QString& directory = QString())
{
    clsShell shell;
    QString ret = QStringLiteral("<untouched>");
    shell.ExecAndCapture(commandLine, directory, ret);
    return ret;
}

// Children of this process that have ended but were never waited for.
QStringList zombieChildren()
{
    QStringList zombies;
    const QStringList tasks = QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& task : tasks) {
        QFile children(QStringLiteral("/proc/self/task/%1/children").arg(task));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> pids = children.readAll().simplified().split(' ');
        for (const QByteArray& pid : pids) {
            if (pid.isEmpty())
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid)));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            const QByteArray line = stat.readAll();
            // The state follows the command name in parentheses.
            const qsizetype close = line.lastIndexOf(')');
            if (close > 0 && line.mid(close + 2, 1) == "Z")
                zombies << QString::fromLatin1(pid);
        }
    }
    return zombies;
}

} // namespace

TEST(SplitCommandLine, FollowsTheWindowsRules)
{
    struct Case
    {
        const char* line;
        QStringList words;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"  prog  a   b  ", {"prog", "a", "b"}},
        {"prog\ta\tb", {"prog", "a", "b"}},
        {R"("/opt/my prog/fop" -xml "/tmp/a b.xml")", {"/opt/my prog/fop", "-xml", "/tmp/a b.xml"}},
        {R"(p a"b c"d)", {"p", "ab cd"}},
        {R"(p "")", {"p", ""}},
        {R"(p "" x)", {"p", "", "x"}},
        // Backslashes only count before a quote: 2n give n and the quote groups, 2n+1 give n and a quote.
        {R"(p a\b c\\d)", {"p", R"(a\b)", R"(c\\d)"}},
        {R"(p \"x\")", {"p", R"("x")"}},
        {R"(p \\"x y")", {"p", R"(\x y)"}},
        {R"(p \\\"x)", {"p", R"(\"x)"}},
        {R"(p "C:\dir\\" next)", {"p", R"(C:\dir\)", "next"}},
        // A doubled quote inside quotes is a literal quote, and the quotes go on.
        {R"(p "say ""hi"" now")", {"p", R"(say "hi" now)"}},
        {R"(p "unterminated arg)", {"p", "unterminated arg"}},
        // The program name takes no escapes.
        {R"("C:\Program Files\" x)", {R"(C:\Program Files\)", "x"}},
        {R"(C:\a\"b c)", {R"(C:\a\b c)"}},
    };
    for (const Case& c : cases) {
        QStringList expected;
        for (const QString& w : c.words)
            expected << w;
        EXPECT_EQ(clsShell::splitCommandLine(QString::fromUtf8(c.line)), expected) << c.line;
    }
}

TEST(ExecAndCapture, OutputComesBackInChunksEachAfterCrLf)
{
    EXPECT_EQ(run(QStringLiteral("printf abc")), QStringLiteral("\r\nabc"));
    EXPECT_EQ(run(QStringLiteral(R"(sh -c "printf err >&2")")), QStringLiteral("\r\nerr"));
    EXPECT_EQ(run(QStringLiteral("true")), QString());
    EXPECT_EQ(run(QStringLiteral(R"(printf "%s|" "a b" "c\"d" e\f "")")), QStringLiteral("\r\na b|c\"d|e\\f||"));
    // Standard input is empty: a program waiting for input ends at once.
    EXPECT_EQ(run(QStringLiteral("cat")), QString());
}

TEST(ExecAndCapture, AProgramThatCannotStartGivesEmptyText)
{
    QTemporaryDir dir;
    EXPECT_EQ(run(QStringLiteral("no-such-program-lohnausweis -version")), QString());
    EXPECT_EQ(run(dir.filePath(QStringLiteral("missing")) + QStringLiteral(" x")), QString());
    EXPECT_EQ(run(QString()), QString());
    EXPECT_EQ(run(QStringLiteral("true"), dir.filePath(QStringLiteral("no-such-directory"))), QString());
}

TEST(ExecAndCapture, RunsInTheGivenWorkingDirectory)
{
    QTemporaryDir dir;
    const QString canonical = QDir(dir.path()).canonicalPath();
    EXPECT_EQ(run(QStringLiteral("pwd"), dir.path()), QStringLiteral("\r\n") + canonical + u'\n');
}

TEST(ExecAndCapture, ARelativeProgramPathIsTheCallersNotTheChilds)
{
    QTemporaryDir caller;
    QTemporaryDir child;
    ASSERT_TRUE(QDir(caller.path()).mkdir(QStringLiteral("bin")));
    QFile tool(caller.filePath(QStringLiteral("bin/tool")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\nprintf 'ok in %s' \"$(pwd)\"\n");
    tool.close();
    tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString old = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(caller.path()));
    const QString ret = run(QStringLiteral("./bin/tool"), child.path());
    QDir::setCurrent(old);
    EXPECT_EQ(ret, QStringLiteral("\r\nok in ") + QDir(child.path()).canonicalPath());
}

TEST(ExecAndCapture, MultiByteCharactersSurviveChunkBoundaries)
{
    // One ASCII byte first, so that chunk limits of 10240 bytes fall inside the two-byte "ä".
    const QString ret = run(QStringLiteral(R"(sh -c "printf a; yes ä | head -n 30000 | tr -d '\n'")"));
    EXPECT_GE(ret.count(QStringLiteral("\r\n")), 6);
    QString text = ret;
    text.remove(QStringLiteral("\r\n"));
    EXPECT_EQ(text, u'a' + QString(30000, u'ä'));
    EXPECT_FALSE(ret.contains(QChar::ReplacementCharacter));

    EXPECT_EQ(run(QStringLiteral(R"(printf "\377ok\303")")), QStringLiteral("\r\n\uFFFDok\uFFFD"));
}

TEST(ExecAndCapture, PendingEventsAreHandledWhileTheProgramRuns)
{
    bool handled = false;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { handled = true; }, Qt::QueuedConnection);
    EXPECT_EQ(run(QStringLiteral("printf x")), QStringLiteral("\r\nx"));
    EXPECT_TRUE(handled);
}

TEST(ExecAndCapture, LeavesNoZombies)
{
    // The check itself must see a zombie: a child that has ended and is not yet waited for.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        ::_exit(0);
    siginfo_t info{};
    ASSERT_EQ(::waitid(P_PID, id_t(child), &info, WEXITED | WNOWAIT), 0);
    EXPECT_TRUE(zombieChildren().contains(QString::number(child)));
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);

    QTemporaryDir dir;
    run(QStringLiteral("printf abc"));
    run(QStringLiteral("no-such-program-lohnausweis"));
    run(QStringLiteral("true"), dir.filePath(QStringLiteral("missing")));
    run(QStringLiteral(R"(sh -c "exec 1>&-; exec 2>&-; exit 3")"));
    EXPECT_EQ(zombieChildren(), QStringList());
}
