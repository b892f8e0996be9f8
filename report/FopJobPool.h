#pragma once

#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <memory>

class ForcedExitCleanup;
class QEventLoop;

// Runs the formatter calls of a PDF run side by side: at most `maxJobs` jobs at once, each job a few
// command lines run one after the other (the Java runtime's version check, then the formatter). The
// caller stays on its own thread and keeps writing documents while earlier ones render; the pool
// hands the results back strictly in the order the jobs were submitted, and only from within
// submit() and finish(), so that log blocks and message boxes appear in document order and an
// exception of the caller's hand-back function leaves through the caller's own frames.
//
// Every program started gets a process group of its own (the formatter's launcher starts Java in
// turn), so that ending a job ends everything it started. With one job the calls run exactly as a
// plain sequence of clsShell calls would: submit() returns only when the job has been handed back.
class FopJobPool
{
public:
    struct Job
    {
        QStringList commandLines; // split by clsShell's rules; run in this order
        QString pdfFile;          // removed when the job is ended half-way
        QString xmlFile;          // the temporary document: removed once the job is handed back or ended
    };
    // What the command lines of a job gave, in their order: the captured text as
    // clsShell::ExecAndCapture gives it, and the exit status as clsShell::lastExitStatus does.
    struct Result
    {
        QStringList outputs;
        QList<int> exitStatuses;
        bool timedOut = false; // a command line ran longer than the time limit and was ended
    };
    using HandBack = std::function<void(const Job&, const Result&)>;

    FopJobPool(int maxJobs, QString workingDirectory, HandBack handBack);
    // Ends the jobs still running and removes the PDF and the document of every job not handed back.
    ~FopJobPool();
    FopJobPool(const FopJobPool&) = delete;
    FopJobPool& operator=(const FopJobPool&) = delete;

    // Starts the job, then hands back the finished jobs that are due and waits until fewer than
    // `maxJobs` jobs run. From here on the pool owns the job's document.
    void submit(Job job);
    // Waits for every job and hands back all of them.
    void finish();
    // Ends the running jobs at once (their whole process groups: SIGTERM, after a grace time SIGKILL)
    // and removes their PDFs and documents; they are never handed back. Jobs that had ended before
    // are still handed back by finish().
    void abort() noexcept;

    // Called before a job starts and whenever a wait wakes up; may throw (a cancelled run), which
    // leaves submit() or finish().
    void setCheckpoint(std::function<void()> checkpoint) { m_checkpoint = std::move(checkpoint); }
    // Wakes a wait of submit() or finish(), so that the checkpoint runs at once.
    void wake();

    // Where the process groups and the files of the running jobs are listed, so that a program that
    // must end at once can still end and remove them; none by default.
    void setForcedExitCleanup(ForcedExitCleanup* cleanup) { m_cleanup = cleanup; }
    // The longest a command line may run (0: no limit). One that takes longer is ended like an
    // aborted job; its job is handed back as failed, with Result::timedOut set.
    void setTimeLimit(int seconds) { m_timeLimitSeconds = seconds; }
    // The environment of every program started; this program's own when empty.
    void setEnvironment(const QProcessEnvironment& environment) { m_environment = environment; }

    int runningJobs() const;
    int maxJobs() const { return m_maxJobs; }

private:
    struct Slot;

    void startNextCommand(Slot& slot);
    void endOverdue(Slot& slot);
    void onOutput(Slot& slot);
    void onFinished(Slot& slot, int exitCode, bool crashed);
    void handBackDue();
    void waitForEvent();

    int m_maxJobs;
    QString m_workingDirectory;
    HandBack m_handBack;
    std::function<void()> m_checkpoint;
    std::deque<std::unique_ptr<Slot>> m_slots; // not yet handed back, in submission order
    QEventLoop* m_wait = nullptr;
    ForcedExitCleanup* m_cleanup = nullptr;
    int m_timeLimitSeconds = 0;
    QProcessEnvironment m_environment;
    QObject m_context; // receiver of the process signals, so that none outlives the pool
};

// The memory one formatter job is reckoned at: a Java VM rendering a document of 200 certificates
// peaked at about 260 MB resident; the rest is room for long texts.
inline constexpr qint64 kFormatterJobBytes = qint64(400) * 1024 * 1024;

// How many formatter jobs a run may start at once: `configured` when it is above 0, otherwise the
// number of cores, but never more than twice the cores; never more than the available memory holds at
// `bytesPerJob` each, never less than 1.
int fopJobLimit(int configured, int cores, qint64 availableBytes, qint64 bytesPerJob);

// The memory the system can still give without swapping (MemAvailable), -1 when it cannot be read.
qint64 availableMemoryBytes();
