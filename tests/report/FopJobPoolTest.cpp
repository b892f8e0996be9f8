#include "report/FopJobPool.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

// A member of the process group that is not a zombie, looked for until `patience` has passed: a
// process killed with SIGKILL still takes the kernel a moment to end.
bool groupLives(int group, QDeadlineTimer patience = QDeadlineTimer(5000))
{
    for (;;) {
        bool found = false;
        for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (comm) state ppid pgrp ...; comm may hold blanks, so the fields after its ")" count.
            const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
            found = found || (fields.size() > 2 && fields[0] != "Z" && fields[2].toInt() == group);
        }
        if (!found || patience.hasExpired())
            return found;
        QThread::msleep(20);
    }
}

// Jobs whose calls are small shell scripts: each writes its process group into `groups`, marks its
// start and end in `trace` ("+name", "-name"), waits `seconds`, writes its PDF and ends with `status`.
class FopJobPoolTest : public ::testing::Test
{
protected:
    FopJobPool::Job job(const QString& name, const QString& seconds = QStringLiteral("0"), int status = 0)
    {
        const QString pdf = dir.filePath(name + QStringLiteral(".pdf"));
        const QString xml = dir.filePath(name + QStringLiteral(".xml"));
        QFile doc(xml);
        EXPECT_TRUE(doc.open(QIODevice::WriteOnly));
        const QString script = QStringLiteral("echo $$ >> groups; echo +%1 >> trace; sleep %2; echo %1 > %1.pdf; "
                                              "echo -%1 >> trace; echo rendered %1; exit %3")
                                   .arg(name, seconds)
                                   .arg(status);
        return {{QStringLiteral("sh -c \"echo version\""), QStringLiteral("sh -c \"") + script + u'"'}, pdf, xml};
    }

    QStringList lines(const QString& name) const
    {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

    // The most calls that ran at the same moment, by the trace.
    int mostAtOnce() const
    {
        int running = 0;
        int most = 0;
        for (const QString& mark : lines(QStringLiteral("trace")))
            most = std::max(most, running += mark.startsWith(u'+') ? 1 : -1);
        return most;
    }

    QTemporaryDir dir;
    QStringList handedBack;
    FopJobPool::HandBack record = [this](const FopJobPool::Job& job, const FopJobPool::Result& result) {
        ASSERT_EQ(result.outputs.size(), 2);
        EXPECT_EQ(result.outputs[0], QStringLiteral("\r\nversion\n"));
        const QString name = QFileInfo(job.pdfFile).baseName();
        EXPECT_EQ(result.outputs[1], QStringLiteral("\r\nrendered ") + name + u'\n');
        // The document is still there while the job is handed back, and goes afterwards.
        EXPECT_TRUE(QFile::exists(job.xmlFile));
        handedBack << name + u':' + QString::number(result.exitStatuses[1]);
    };
};

TEST_F(FopJobPoolTest, HandsBackInSubmissionOrderWithAtMostMaxJobsAtOnce)
{
    // The first job is the slowest, so with several jobs the later ones end before it.
    const struct
    {
        int maxJobs;
        int mostAtOnce;
    } cases[] = {{1, 1}, {4, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.maxJobs);
        QFile::remove(dir.filePath(QStringLiteral("trace")));
        handedBack.clear();
        {
            FopJobPool pool(c.maxJobs, dir.path(), record);
            pool.submit(job(QStringLiteral("a"), QStringLiteral("0.6")));
            pool.submit(job(QStringLiteral("b"), QStringLiteral("0"), 3));
            for (const char* name : {"c", "d", "e"})
                pool.submit(job(QString::fromLatin1(name)));
            pool.finish();
            EXPECT_EQ(pool.runningJobs(), 0);
        }
        EXPECT_EQ(handedBack, QStringList({"a:0", "b:3", "c:0", "d:0", "e:0"}));
        EXPECT_LE(mostAtOnce(), c.mostAtOnce);
        if (c.maxJobs == 1) {
            EXPECT_EQ(lines(QStringLiteral("trace")).join(u' '), QStringLiteral("+a -a +b -b +c -c +d -d +e -e"));
        }
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.xml")}, QDir::Files), QStringList());
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files).size(), 5);
    }
}

TEST_F(FopJobPoolTest, EndingJobsLeavesNoFileAndNoProcess)
{
    // abort() (a cancel) and a hand-back that throws (an error of the run) while slow jobs still run:
    // the job that had ended is handed back, the others end with their whole process group.
    for (const bool throwing : {false, true}) {
        SCOPED_TRACE(throwing);
        QFile::remove(dir.filePath(QStringLiteral("groups")));
        handedBack.clear();
        {
            FopJobPool pool(3, dir.path(), [&](const FopJobPool::Job& job, const FopJobPool::Result& result) {
                record(job, result);
                // Until the slow jobs are in their wait, so that their process groups are known; as a
                // message box would, this lets the pool go on meanwhile.
                for (QDeadlineTimer patience(10000);
                     lines(QStringLiteral("groups")).size() < 3 && !patience.hasExpired();)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                if (throwing)
                    throw std::runtime_error("log not writable");
            });
            pool.submit(job(QStringLiteral("quick")));
            pool.submit(job(QStringLiteral("slow1"), QStringLiteral("30")));
            // The third job fills the pool; the wait for a free place hands the quick job back.
            try {
                pool.submit(job(QStringLiteral("slow2"), QStringLiteral("30")));
            } catch (const std::runtime_error&) {
                EXPECT_TRUE(throwing);
            }
            if (!throwing) {
                EXPECT_EQ(pool.runningJobs(), 2);
                pool.abort();
                EXPECT_EQ(pool.runningJobs(), 0);
            }
        }
        EXPECT_EQ(handedBack, QStringList({"quick:0"}));
        const QStringList groups = lines(QStringLiteral("groups"));
        ASSERT_EQ(groups.size(), 3);
        for (const QString& group : groups)
            EXPECT_FALSE(groupLives(group.toInt())) << "process group " << group.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("*.xml"), QStringLiteral("slow*.pdf")}, QDir::Files),
                  QStringList());
    }
}

TEST(FopJobLimitTest, CoresByDefaultCappedByMemoryAtLeastOne)
{
    constexpr qint64 kMiB = 1024 * 1024;
    const struct
    {
        int configured, cores;
        qint64 available;
        int expected;
    } cases[] = {
        {0, 2, 8000 * kMiB, 2}, // the default: the cores
        {-3, 8, -1, 8},         // memory unknown: no cap
        {6, 2, 8000 * kMiB, 6}, // a configured number beats the cores
        {6, 2, 1000 * kMiB, 2}, // but not the memory
        {0, 4, 100 * kMiB, 1},  // never below one
        {0, 0, 8000 * kMiB, 1}, // cores unknown
    };
    for (const auto& c : cases)
        EXPECT_EQ(fopJobLimit(c.configured, c.cores, c.available, 400 * kMiB), c.expected)
            << c.configured << ' ' << c.cores << ' ' << c.available;
}

} // namespace
