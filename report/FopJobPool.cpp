#include "report/FopJobPool.h"

#include "platform/ForcedExitCleanup.h"
#include "platform/OutputTail.h"
#include "platform/ProcessGroup.h"
#include "platform/clsShell.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStringDecoder>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <optional>
#include <vector>

namespace {

constexpr qint64 kChunkSize = 10240;

} // namespace

struct FopJobPool::Slot
{
    Job job;
    Result result;
    qsizetype nextCommand = 0;
    bool finished = false;
    std::unique_ptr<QProcess> process;
    qint64 group = 0; // the running process's group, as listed for a forced exit
    OutputTail collected{OutputTail::kFormatterLimit};
    QStringDecoder decoder{QStringDecoder::Utf8};
    std::unique_ptr<QTimer> overdue;
    // Half-written or not yet handed back: listed for a forced exit while the slot lives.
    std::optional<ScopedCleanupFile> pdfListed;
    std::optional<ScopedCleanupFile> xmlListed;
    // Processes of earlier command lines; they are deleted with the slot, never inside their own signal.
    std::vector<std::unique_ptr<QProcess>> done;
};

FopJobPool::FopJobPool(int maxJobs, QString workingDirectory, HandBack handBack)
    : m_maxJobs(std::max(1, maxJobs))
    , m_workingDirectory(std::move(workingDirectory))
    , m_handBack(std::move(handBack))
{
}

FopJobPool::~FopJobPool()
{
    abort();
    // Finished but never handed back: nobody has checked or reported these files.
    for (const auto& slot : m_slots) {
        QFile::remove(slot->job.pdfFile);
        QFile::remove(slot->job.xmlFile);
    }
}

int FopJobPool::runningJobs() const
{
    return static_cast<int>(std::count_if(m_slots.begin(), m_slots.end(), [](const auto& s) { return !s->finished; }));
}

void FopJobPool::submit(Job job)
{
    // A cancelled run starts no further formatter.
    if (m_checkpoint) {
        try {
            m_checkpoint();
        } catch (...) {
            QFile::remove(job.xmlFile);
            throw;
        }
    }
    auto slot = std::make_unique<Slot>();
    slot->job = std::move(job);
    slot->pdfListed.emplace(m_cleanup, slot->job.pdfFile);
    slot->xmlListed.emplace(m_cleanup, slot->job.xmlFile);
    m_slots.push_back(std::move(slot));
    startNextCommand(*m_slots.back());
    for (;;) {
        handBackDue();
        if (runningJobs() < m_maxJobs)
            return;
        waitForEvent();
    }
}

void FopJobPool::finish()
{
    for (;;) {
        handBackDue();
        if (m_slots.empty())
            return;
        waitForEvent();
    }
}

void FopJobPool::wake()
{
    if (m_wait)
        m_wait->quit();
}

void FopJobPool::waitForEvent()
{
    if (m_checkpoint)
        m_checkpoint();
    // Nothing is handled between the caller's look at the jobs and this wait, so no end is missed.
    QEventLoop wait;
    m_wait = &wait;
    const auto forget = qScopeGuard([this] { m_wait = nullptr; });
    wait.exec();
    if (m_checkpoint)
        m_checkpoint();
}

void FopJobPool::handBackDue()
{
    while (!m_slots.empty() && m_slots.front()->finished) {
        const std::unique_ptr<Slot> slot = std::move(m_slots.front());
        m_slots.pop_front();
        const auto removeDocument = qScopeGuard([&slot] { QFile::remove(slot->job.xmlFile); });
        m_handBack(slot->job, slot->result);
    }
}

void FopJobPool::startNextCommand(Slot& slot)
{
    // A program that cannot be started gives the empty text, as clsShell does, and the next one runs.
    while (slot.nextCommand < slot.job.commandLines.size()) {
        QStringList arguments = clsShell::splitCommandLine(slot.job.commandLines[slot.nextCommand++]);
        QString program = arguments.isEmpty() ? QString() : arguments.takeFirst();
        // A relative program path means our directory, not the child's working directory.
        if (program.contains(u'/'))
            program = QFileInfo(program).absoluteFilePath();

        auto process = std::make_unique<QProcess>();
        runInOwnProcessGroup(*process);
        process->setProgram(program);
        process->setArguments(arguments);
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->setStandardInputFile(QProcess::nullDevice());
        if (!m_environment.isEmpty())
            process->setProcessEnvironment(m_environment);
        if (!m_workingDirectory.isEmpty())
            process->setWorkingDirectory(m_workingDirectory);
        QObject::connect(process.get(), &QProcess::readyRead, &m_context, [this, &slot] { onOutput(slot); });
        QObject::connect(
            process.get(), &QProcess::finished, &m_context, [this, &slot](int exitCode, QProcess::ExitStatus status) {
                onFinished(slot, exitCode, status == QProcess::CrashExit);
            });
        if (!program.isEmpty()) {
            process->start(QIODevice::ReadOnly);
            if (process->waitForStarted(-1)) {
                slot.collected.clear();
                slot.decoder.resetState();
                slot.group = process->processId();
                if (m_cleanup)
                    m_cleanup->addProcessGroup(slot.group);
                slot.process = std::move(process);
                if (m_timeLimitSeconds > 0) {
                    slot.overdue = std::make_unique<QTimer>();
                    slot.overdue->setSingleShot(true);
                    QObject::connect(
                        slot.overdue.get(), &QTimer::timeout, &m_context, [this, &slot] { endOverdue(slot); });
                    slot.overdue->start(std::chrono::seconds(m_timeLimitSeconds));
                }
                return;
            }
        }
        QObject::disconnect(process.get(), nullptr, &m_context, nullptr);
        slot.done.push_back(std::move(process));
        slot.result.outputs.append(QString());
        slot.result.exitStatuses.append(clsShell::kNotStarted);
    }
    slot.finished = true;
    wake();
}

void FopJobPool::onOutput(Slot& slot)
{
    // Chunks as clsShell collects them: CR LF in front of each; the decoder keeps a character that a
    // chunk cut in two for the next one.
    while (slot.process->bytesAvailable() > 0)
        slot.collected.append(QStringLiteral("\r\n") + slot.decoder.decode(slot.process->read(kChunkSize)));
}

void FopJobPool::endOverdue(Slot& slot)
{
    if (!slot.process)
        return;
    QObject::disconnect(slot.process.get(), nullptr, &m_context, nullptr);
    endProcessGroup(*slot.process, slot.group);
    onOutput(slot);
    if (m_cleanup)
        m_cleanup->removeProcessGroup(slot.group);
    slot.result.outputs.append(slot.collected.text());
    slot.result.exitStatuses.append(128 + SIGKILL);
    slot.result.timedOut = true;
    slot.done.push_back(std::move(slot.process));
    // Whatever it wrote is no PDF to keep; the later command lines of the job do not run.
    QFile::remove(slot.job.pdfFile);
    slot.finished = true;
    wake();
}

void FopJobPool::onFinished(Slot& slot, int exitCode, bool crashed)
{
    onOutput(slot);
    QObject::disconnect(slot.process.get(), nullptr, &m_context, nullptr);
    if (m_cleanup)
        m_cleanup->removeProcessGroup(slot.group);
    slot.overdue.reset();
    slot.result.outputs.append(slot.collected.text());
    // For a program ended by a signal QProcess gives the signal number as its exit code.
    slot.result.exitStatuses.append(crashed ? 128 + exitCode : exitCode);
    slot.done.push_back(std::move(slot.process));
    startNextCommand(slot);
}

void FopJobPool::abort() noexcept
{
    std::vector<Slot*> ending;
    for (const auto& slot : m_slots) {
        if (slot->finished || !slot->process)
            continue;
        QObject::disconnect(slot->process.get(), nullptr, &m_context, nullptr);
        signalProcessGroup(slot->group, SIGTERM);
        ending.push_back(slot.get());
    }
    const QDeadlineTimer grace(kProcessGroupGraceMs);
    for (Slot* slot : ending) {
        slot->process->waitForFinished(static_cast<int>(std::max<qint64>(0, grace.remainingTime())));
        // Also for members that outlived the program itself or ignore SIGTERM.
        signalProcessGroup(slot->group, SIGKILL);
        slot->process->waitForFinished(-1);
        if (m_cleanup)
            m_cleanup->removeProcessGroup(slot->group);
        QFile::remove(slot->job.pdfFile);
        QFile::remove(slot->job.xmlFile);
    }
    std::erase_if(m_slots, [](const auto& slot) { return !slot->finished; });
    wake();
}

int fopJobLimit(int configured, int cores, qint64 availableBytes, qint64 bytesPerJob)
{
    // More Java VMs than twice the cores only wait for each other and fill the memory.
    qint64 jobs = configured > 0 ? std::min<qint64>(configured, 2 * qint64(std::max(1, cores))) : cores;
    if (availableBytes >= 0 && bytesPerJob > 0)
        jobs = std::min(jobs, availableBytes / bytesPerJob);
    return static_cast<int>(std::max<qint64>(1, jobs));
}

qint64 availableMemoryBytes()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    while (!meminfo.atEnd()) {
        const QByteArray line = meminfo.readLine();
        if (!line.startsWith("MemAvailable:"))
            continue;
        bool ok = false;
        const qint64 kib = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
        return ok ? kib * 1024 : -1;
    }
    return -1;
}
