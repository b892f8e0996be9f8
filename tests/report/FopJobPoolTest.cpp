#include "report/FopJobPool.h"

#include "platform/ForcedExitCleanup.h"
#include "platform/OutputTail.h"
#include "report/FormatterFailure.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

QStringList lines(const QTemporaryDir& dir, const char* name)
{
    QFile f(dir.filePath(QString::fromLatin1(name)));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                       : QStringList();
}

// A job of two calls as the PDF run makes them; the second notes its process group in "groups" and
// its start and end in "trace" ("+name", "-name"), waits, writes its PDF and ends with `status`. Its
// wait ignores SIGTERM while the shell in front ends on it, so ending a job must reach the group
// after its leader has gone.
FopJobPool::Job job(const QTemporaryDir& dir, const QString& name, const char* seconds = "0", int status = 0)
{
    QFile(dir.filePath(name + QStringLiteral(".xml"))).open(QIODevice::WriteOnly);
    const QString script =
        QStringLiteral("echo $$ >> groups; echo +%1 >> trace; (trap '' TERM; sleep %2); echo %1 > %1.pdf; "
                       "echo -%1 >> trace; echo rendered %1; exit %3")
            .arg(name, QString::fromLatin1(seconds))
            .arg(status);
    return {{QStringLiteral("sh -c \"echo version\""), QStringLiteral("sh -c \"") + script + u'"'},
            dir.filePath(name + QStringLiteral(".pdf")),
            dir.filePath(name + QStringLiteral(".xml"))};
}

// A member of the process group that is not a zombie; a process killed with SIGKILL still takes the
// kernel a moment to end, so it is looked for up to 5 s.
bool groupLives(int group)
{
    for (const QDeadlineTimer patience(5000);; QThread::msleep(20)) {
        bool found = false;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
            // pid (comm) state ppid pgrp ...; comm may hold blanks, so the fields after its ")" count.
            const QList<QByteArray> fields = stat.open(QIODevice::ReadOnly)
                                                 ? stat.readAll().split(')').last().trimmed().split(' ')
                                                 : QList<QByteArray>();
            found = found || (fields.size() > 2 && fields[0] != "Z" && fields[2].toInt() == group);
        }
        if (!found || patience.hasExpired())
            return found;
    }
}

} // namespace

// The first job is the slowest, so with several jobs the later ones end before it; the failing second
// one is handed back in its place all the same.
TEST(FopJobPool, HandsBackInSubmissionOrderWithAtMostMaxJobsAtOnce)
{
    for (const int maxJobs : {1, 4}) {
        SCOPED_TRACE(maxJobs);
        QTemporaryDir dir;
        QStringList handedBack;
        {
            FopJobPool pool(maxJobs, dir.path(), [&](const FopJobPool::Job& job, const FopJobPool::Result& result) {
                const QString name = QFileInfo(job.pdfFile).baseName();
                EXPECT_EQ(result.outputs, QStringList({"\r\nversion\n", "\r\nrendered " + name + u'\n'}));
                EXPECT_TRUE(QFile::exists(job.xmlFile)); // removed only after the hand-back
                handedBack << name + u':' + QString::number(result.exitStatuses.value(1));
            });
            pool.submit(job(dir, QStringLiteral("a"), "0.6"));
            pool.submit(job(dir, QStringLiteral("b"), "0", 3));
            for (const char* name : {"c", "d", "e"})
                pool.submit(job(dir, QString::fromLatin1(name)));
            pool.finish();
        }
        EXPECT_EQ(handedBack, QStringList({"a:0", "b:3", "c:0", "d:0", "e:0"}));
        int running = 0;
        int most = 0;
        for (const QString& mark : lines(dir, "trace"))
            most = std::max(most, running += mark.startsWith(u'+') ? 1 : -1);
        EXPECT_LE(most, maxJobs);
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.xml")}, QDir::Files), QStringList());
    }
}

// abort() (a cancel), a hand-back that throws (an error of the run) and the forced exit of a second
// signal while slow jobs still run: the job that had ended is handed back, the others end with their
// whole process group and their files. The forced exit is checked before the pool goes, which would
// tidy up on its own.
TEST(FopJobPool, EndingJobsLeavesNoFileAndNoProcess)
{
    enum class End
    {
        Abort,
        Throw,
        Forced
    };
    for (const End end : {End::Abort, End::Throw, End::Forced}) {
        SCOPED_TRACE(int(end));
        QTemporaryDir dir;
        QStringList handedBack;
        const auto expectNothingLeft = [&] {
            const QStringList groups = lines(dir, "groups");
            ASSERT_EQ(groups.size(), 3);
            for (const QString& group : groups)
                EXPECT_FALSE(groupLives(group.toInt())) << "process group " << group.toStdString();
            EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.xml"), QStringLiteral("slow*.pdf")}, QDir::Files),
                      QStringList());
        };
        ForcedExitCleanup cleanup;
        {
            FopJobPool pool(3, dir.path(), [&](const FopJobPool::Job& job, const FopJobPool::Result&) {
                handedBack << QFileInfo(job.pdfFile).baseName();
                // Until the slow jobs are in their wait, so that their process groups are known; as a
                // message box would, this lets the pool go on meanwhile.
                for (QDeadlineTimer patience(10000); lines(dir, "groups").size() < 3 && !patience.hasExpired();)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                if (end == End::Throw)
                    throw std::runtime_error("log not writable");
            });
            pool.setForcedExitCleanup(&cleanup);
            pool.submit(job(dir, QStringLiteral("quick")));
            pool.submit(job(dir, QStringLiteral("slow1"), "30"));
            // The third job fills the pool; the wait for a free place hands the quick one back.
            try {
                pool.submit(job(dir, QStringLiteral("slow2"), "30"));
            } catch (const std::runtime_error&) {
                EXPECT_EQ(end, End::Throw);
            }
            if (end == End::Abort)
                pool.abort();
            if (end == End::Forced) {
                cleanup.endNow();
                expectNothingLeft();
            }
            EXPECT_EQ(pool.runningJobs(), end == End::Abort ? 0 : 2);
        }
        EXPECT_EQ(handedBack, QStringList{"quick"});
        expectNothingLeft();
    }
}

// A call over the time limit is ended with its group and handed back as failed; of a call's long
// output only the end is kept, with a note in front.
TEST(FopJobPool, OverdueCallsEndAndLongOutputKeepsItsEnd)
{
    QTemporaryDir dir;
    QList<FopJobPool::Result> results;
    {
        FopJobPool pool(2, dir.path(), [&](const FopJobPool::Job&, const FopJobPool::Result& r) { results << r; });
        pool.setTimeLimit(3); // the second job must end well within it, also on a busy machine
        pool.submit(job(dir, QStringLiteral("slow"), "30"));
        pool.submit({{QStringLiteral("sh -c \"head -c 300000 /dev/zero | tr '\\0' x; echo; echo END\"")},
                     dir.filePath(QStringLiteral("long.pdf")),
                     dir.filePath(QStringLiteral("long.xml"))});
        pool.finish();
    }
    ASSERT_EQ(results.size(), 2);
    EXPECT_TRUE(results[0].timedOut);
    EXPECT_EQ(results[0].exitStatuses, QList<int>({0, 137}));
    EXPECT_FALSE(groupLives(lines(dir, "groups").value(0).toInt()));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("slow.pdf"))));
    EXPECT_FALSE(results[1].timedOut);
    const QString output = results[1].outputs.value(0);
    EXPECT_TRUE(output.startsWith(QStringLiteral("\r\n[Ausgabe gekürzt: die ersten ")))
        << output.left(80).toStdString();
    // Where the pipe cut the output, a CR LF stands between the chunks.
    EXPECT_TRUE(QString(output).remove(QStringLiteral("\r\n")).endsWith(QStringLiteral("xxx\nEND\n")));
    EXPECT_LT(output.size(), OutputTail::kFormatterLimit + 200);
}

// What the exit status alone does not say.
TEST(FormatterFailure, NamesTimeLimitMissingJavaAndMissingPrograms)
{
    const struct
    {
        FopJobPool::Result result;
        const char* reason;
    } cases[] = {
        {{{"", "x"}, {0, 137}, true},
         "Der Formatierer hat das Zeitlimit von 900 Sekunden (Einstellung FopTimeout) überschritten und wurde beendet"},
        {{{"", "\r\n/usr/bin/fop: 1: java: not found\n"}, {-1, 127}},
         "Java ist nicht installiert oder nicht im Suchpfad (Programm 'java' nicht gefunden)"},
        {{{"v", "\r\nWarnung\r\nApache FOP ist nicht installiert.\n"}, {0, 127}},
         "Ein Programm des Formatierers wurde nicht gefunden (Apache FOP ist nicht installiert.)"},
        {{{"v", "\r\nSEVERE: kaputt\n"}, {0, 1}}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatterFailureReason(c.result, 900), QString::fromUtf8(c.reason)) << c.reason;
}

TEST(FopJobLimit, CoresByDefaultCappedByMemoryAtLeastOne)
{
    constexpr qint64 kMiB = 1024 * 1024;
    const struct
    {
        int configured, cores;
        qint64 available;
        int expected;
    } cases[] = {
        {0, 2, 8000 * kMiB, 2},
        {-3, 8, -1, 8},
        {3, 2, 8000 * kMiB, 3}, // cores, memory unknown, configured
        {6, 2, 8000 * kMiB, 4}, // never more than twice the cores
        {6, 2, 1000 * kMiB, 2},
        {0, 4, 100 * kMiB, 1},
        {0, 0, 8000 * kMiB, 1}, // memory caps, at least one
    };
    for (const auto& c : cases)
        EXPECT_EQ(fopJobLimit(c.configured, c.cores, c.available, 400 * kMiB), c.expected)
            << c.configured << ' ' << c.cores << ' ' << c.available;
}
