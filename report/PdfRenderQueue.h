#pragma once

#include "report/FopJobPool.h"
#include "report/PdfRun.h"

#include <QMetaObject>
#include <deque>
#include <memory>

class EmployeeFiles;
class MainWindowView;
class PdfPlacement;
class RunSummary;
class TempFileInUse;

// The formatter side of a PDF run: hands each saved document to a pool of formatter jobs and reports
// every PDF in document order, as a run that renders one document after the other does: the log block
// in gLog, the run summary and the viewer for a complete PDF, the box "PDF-Datei konnte nicht erstellt
// werden." for a failed one. The formatter writes into the private temporary folder; a complete PDF is
// put under its name (encrypted when the call says so) by a PdfPlacement. The window's status bar names the file
// started last; the window also hears how many of the files started are done. The run's cancel request (of the window)
// ends the waits at once with the cancel error.
class PdfRenderQueue
{
public:
    PdfRenderQueue(MainWindowView& window, RunSummary& summary, int maxJobs);
    // Ends the jobs still running (their PDFs are removed and not reported) and reports those that had
    // ended; errors of these reports are dropped, as the run is ending with an error of its own.
    ~PdfRenderQueue();
    PdfRenderQueue(const PdfRenderQueue&) = delete;
    PdfRenderQueue& operator=(const PdfRenderQueue&) = delete;

    // Starts rendering the document with `call` and returns once fewer than maxJobs jobs run; with one
    // job that is when its report is made. The queue owns the document's temporary file from here on.
    // Reports of earlier documents are made meanwhile; their errors leave here, as do those of the
    // PdfPlacement for this document (a folder that takes no file).
    void submit(const PdfDocument& document, const FormatterCall& call);
    // Waits for every job and reports it.
    void finish();
    // Where the documents of a run with a file per employee are split and written; none by default.
    void setEmployeeFiles(EmployeeFiles* files) { m_employeeFiles = files; }

private:
    struct Pending
    {
        PdfDocument document;
        FormatterCall call;
        // Keeps another instance's clean-up of stale documents away while the document waits or renders.
        std::shared_ptr<TempFileInUse> inUse;
        std::shared_ptr<PdfPlacement> placement;
    };

    void report(const FopJobPool::Job& job, const FopJobPool::Result& result);

    MainWindowView& m_window;
    RunSummary& m_summary;
    std::deque<Pending> m_pending; // submitted and not yet reported, in document order
    qint64 m_started = 0;
    qint64 m_reported = 0;
    int m_timeLimitSeconds = 0;
    QMetaObject::Connection m_cancelWakes;
    EmployeeFiles* m_employeeFiles = nullptr;
    FopJobPool m_pool; // last, so that its jobs end before the rest goes
};
