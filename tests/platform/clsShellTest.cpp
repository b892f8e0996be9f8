#include "platform/clsShell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMetaObject>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QString run(const QString& commandLine, const QString& directory = QString(), int* exitStatus = nullptr)
{
    clsShell shell;
    QString ret = QStringLiteral("<untouched>");
    shell.ExecAndCapture(commandLine, directory, ret);
    if (exitStatus)
        *exitStatus = shell.lastExitStatus();
    return ret;
}

// Whether a child of this process has ended without being waited for; the check reaps nothing.
bool zombieLeft()
{
    siginfo_t info{};
    if (::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) != 0)
        return errno != ECHILD;
    return info.si_pid != 0;
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
        {"   ", {}},
        {" prog\ta   b  ", {"prog", "a", "b"}},
        {R"("/opt/my prog/fop" -xml "/tmp/a b.xml")", {"/opt/my prog/fop", "-xml", "/tmp/a b.xml"}},
        {R"(p a"b c"d "" x)", {"p", "ab cd", "", "x"}},
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
    for (const Case& c : cases)
        EXPECT_EQ(clsShell::splitCommandLine(QString::fromUtf8(c.line)), c.words) << c.line;
}

TEST(ExecAndCapture, OutputComesBackInChunksEachAfterCrLfWithTheExitStatusAndNoZombieStays)
{
    QTemporaryDir dir;
    constexpr int notStarted = clsShell::kNotStarted;
    struct Case
    {
        QString commandLine;
        QString directory;
        QString output;
        int exitStatus;
    };
    const Case cases[] = {
        {QStringLiteral(R"(sh -c "printf err >&2; exit 4")"), {}, QStringLiteral("\r\nerr"), 4},
        {QStringLiteral("true"), {}, QString(), 0},
        // Each argument arrives as one, blanks, quotes and backslashes included.
        {QStringLiteral(R"(printf "%s|" "a b" "c\"d" e\f "")"), {}, QStringLiteral("\r\na b|c\"d|e\\f||"), 0},
        // Standard input is empty: a program waiting for input ends at once.
        {QStringLiteral("cat"), {}, QString(), 0},
        {QStringLiteral("pwd"), dir.path(), QStringLiteral("\r\n") + QDir(dir.path()).canonicalPath() + u'\n', 0},
        // A program that cannot start gives the empty text.
        {dir.filePath(QStringLiteral("missing")) + QStringLiteral(" x"), {}, QString(), notStarted},
        {QString(), {}, QString(), notStarted},
        {QStringLiteral("true"), dir.filePath(QStringLiteral("no-such-directory")), QString(), notStarted},
        {QStringLiteral(R"(sh -c "exec 1>&-; exec 2>&-; exit 3")"), {}, QString(), 3},
        {QStringLiteral(R"(sh -c "printf half; kill -9 $$")"), {}, QStringLiteral("\r\nhalf"), 128 + 9},
    };
    for (const Case& c : cases) {
        int exitStatus = 99;
        EXPECT_EQ(run(c.commandLine, c.directory, &exitStatus), c.output) << qPrintable(c.commandLine);
        EXPECT_EQ(exitStatus, c.exitStatus) << qPrintable(c.commandLine);
    }
    EXPECT_FALSE(zombieLeft());
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
