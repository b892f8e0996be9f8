#include "report/FopJobPool.h"

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
// its start and end in "trace" ("+name", "-name"), waits, writes its PDF and ends with `status`.
FopJobPool::Job job(const QTemporaryDir& dir, const QString& name, const char* seconds = "0", int status = 0)
{
    QFile(dir.filePath(name + QStringLiteral(".xml"))).open(QIODevice::WriteOnly);
    const QString script = QStringLiteral("echo $$ >> groups; echo +%1 >> trace; sleep %2; echo %1 > %1.pdf; "
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

// abort() (a cancel) and a hand-back that throws (an error of the run) while slow jobs still run: the
// job that had ended is handed back, the others end with their whole process group and their files.
TEST(FopJobPool, EndingJobsLeavesNoFileAndNoProcess)
{
    for (const bool throwing : {false, true}) {
        SCOPED_TRACE(throwing);
        QTemporaryDir dir;
        QStringList handedBack;
        {
            FopJobPool pool(3, dir.path(), [&](const FopJobPool::Job& job, const FopJobPool::Result&) {
                handedBack << QFileInfo(job.pdfFile).baseName();
                // Until the slow jobs are in their wait, so that their process groups are known; as a
                // message box would, this lets the pool go on meanwhile.
                for (QDeadlineTimer patience(10000); lines(dir, "groups").size() < 3 && !patience.hasExpired();)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                if (throwing)
                    throw std::runtime_error("log not writable");
            });
            pool.submit(job(dir, QStringLiteral("quick")));
            pool.submit(job(dir, QStringLiteral("slow1"), "30"));
            // The third job fills the pool; the wait for a free place hands the quick one back.
            try {
                pool.submit(job(dir, QStringLiteral("slow2"), "30"));
            } catch (const std::runtime_error&) {
                EXPECT_TRUE(throwing);
            }
            if (!throwing)
                pool.abort();
            EXPECT_EQ(pool.runningJobs(), throwing ? 2 : 0);
        }
        EXPECT_EQ(handedBack, QStringList{"quick"});
        const QStringList groups = lines(dir, "groups");
        ASSERT_EQ(groups.size(), 3);
        for (const QString& group : groups)
            EXPECT_FALSE(groupLives(group.toInt())) << "process group " << group.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.xml"), QStringLiteral("slow*.pdf")}, QDir::Files),
                  QStringList());
    }
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
        {6, 2, 8000 * kMiB, 6}, // cores, memory unknown, configured
        {6, 2, 1000 * kMiB, 2},
        {0, 4, 100 * kMiB, 1},
        {0, 0, 8000 * kMiB, 1}, // memory caps, at least one
    };
    for (const auto& c : cases)
        EXPECT_EQ(fopJobLimit(c.configured, c.cores, c.available, 400 * kMiB), c.expected)
            << c.configured << ' ' << c.cores << ' ' << c.available;
}
