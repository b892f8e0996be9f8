#include "report/PdfRenderQueue.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/RunCancel.h"
#include "platform/TempFileInUse.h"
#include "platform/clsFSConnect.h"
#include "platform/clsShell.h"
#include "report/EmployeeFiles.h"
#include "report/FormatterFailure.h"
#include "report/FormatterSettings.h"
#include "report/PdfPlacement.h"
#include "report/RunSummary.h"

#include <QFile>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kWorkingDirectory = QStringLiteral("./");

} // namespace

PdfRenderQueue::PdfRenderQueue(MainWindowView& window, RunSummary& summary, int maxJobs)
    : m_window(window)
    , m_summary(summary)
    , m_pool(maxJobs, kWorkingDirectory, [this](const FopJobPool::Job& job, const FopJobPool::Result& result) {
        report(job, result);
    })
{
    if (RunCancel* cancel = window.runCancel()) {
        m_pool.setCheckpoint([cancel] { cancel->throwIfRequested(); });
        m_cancelWakes = QObject::connect(cancel, &RunCancel::requested, [this] { m_pool.wake(); });
        m_pool.setForcedExitCleanup(&cancel->forcedExitCleanup());
    }
    m_timeLimitSeconds = formatterTimeLimitSeconds();
    m_pool.setTimeLimit(m_timeLimitSeconds);
    m_pool.setEnvironment(formatterEnvironment());
}

PdfRenderQueue::~PdfRenderQueue()
{
    QObject::disconnect(m_cancelWakes);
    m_pool.abort();
    try {
        m_pool.finish();
    } catch (...) {
    }
}

void PdfRenderQueue::submit(const PdfDocument& document, const FormatterCall& call)
{
    auto inUse = std::make_shared<TempFileInUse>(document.xmlFile);
    std::shared_ptr<PdfPlacement> placement;
    try {
        placement = std::make_shared<PdfPlacement>(document.perEmployee() ? QString() : document.pdfFile);
    } catch (...) {
        QFile::remove(document.xmlFile);
        throw;
    }
    const QString rendered = placement->renderedFile();
    m_pending.push_back({document, call, std::move(inUse), std::move(placement)});
    ++m_started;
    m_window.setFileProgress(m_reported, m_started);
    // A refused document runs nothing; it is handed back in its turn and reported as failed.
    QStringList commandLines;
    if (document.refusal.isEmpty())
        commandLines = {QStringLiteral("java -version"), formatterCommandLine(call, document.xmlFile, rendered)};
    m_pool.submit({commandLines, rendered, document.xmlFile});
}

void PdfRenderQueue::finish()
{
    m_pool.finish();
}

void PdfRenderQueue::report(const FopJobPool::Job& job, const FopJobPool::Result& result)
{
    // Jobs that were ended are never handed back; their documents are skipped here. The PDF names of
    // one run differ, so the name finds the document.
    while (!m_pending.empty() && m_pending.front().placement->renderedFile() != job.pdfFile)
        m_pending.pop_front();
    if (m_pending.empty())
        throw LaError::runtime(ErrNo::ObjectNotSet);
    const Pending pending = std::move(m_pending.front());
    m_pending.pop_front();
    const PdfDocument& document = pending.document;

    PdfRendering rendering = checkRendering(pending.call,
                                            document.xmlFile,
                                            job.pdfFile,
                                            document.pdfFile,
                                            result.outputs.value(0),
                                            result.outputs.value(1),
                                            result.exitStatuses.value(1, clsShell::kNotStarted));
    if (!document.refusal.isEmpty()) {
        rendering.complete = false;
        rendering.reason = document.refusal;
        rendering.logBlock += kCrLf + document.refusal + kCrLf;
    } else if (const QString why = formatterFailureReason(result, m_timeLimitSeconds);
               !why.isEmpty() && !rendering.complete) {
        rendering.reason = why + QStringLiteral("; ") + rendering.reason;
    }
    m_window.setFileProgress(++m_reported, m_started);
    if (!gLog)
        throw LaError::runtime(ErrNo::ObjectNotSet);
    gLog->setValue(rendering.logBlock);
    gLog->update();
    if (rendering.complete && document.perEmployee() && m_employeeFiles) {
        try {
            m_employeeFiles->write(document, pending.placement->renderedFile(), m_summary, m_window);
            return;
        } catch (...) {
            const LaError error = toLaError(std::current_exception());
            if (error.number() == ErrNo::UserInterrupt)
                throw;
            rendering.complete = false;
            rendering.reason = error.description();
        }
    } else if (rendering.complete) {
        try {
            pending.placement->place(pending.call.withPassword, pending.call.password);
        } catch (...) {
            rendering.complete = false;
            rendering.reason = toLaError(std::current_exception()).description();
        }
    }

    if (rendering.complete) {
        m_summary.addFile(document.pdfFile, document.certificates, {document.company}, QStringLiteral("PDF-Datei"));
        if (m_window.chkOpenPDF())
            OpenFile(document.pdfFile);
    } else {
        prompt().messageBox(QStringLiteral("PDF-Datei konnte nicht erstellt werden.") + kCrLf +
                                QStringLiteral("Datei: ") + document.pdfFile + kCrLf + QStringLiteral("Grund: ") +
                                rendering.reason + kCrLf + QStringLiteral("Protokoll: ") + gLog->fileName(),
                            MsgStyle::Critical,
                            QStringLiteral("Fehler"));
    }
}
