#include "app/RunDispatch.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "platform/AppIdentity.h"
#include "platform/LaError.h"
#include "platform/OutputLock.h"
#include "platform/Prompt.h"
#include "platform/RunCancel.h"
#include "platform/RunLogPath.h"
#include "platform/clsFSConnect.h"
#include "report/RunSummary.h"
#include "report/crtCSVData.h"
#include "report/crtXMLData.h"

#include <QFile>
#include <QScopeGuard>

namespace {

void deleteTempXmlFile() noexcept
{
    // Best effort: the run has already failed and been reported, a leftover file must not add a
    // second box.
    try {
        if (!gTempXmlFile.isEmpty())
            QFile::remove(gTempXmlFile);
        // Forget the name: a later run must not delete a file that has since got the same name.
        gTempXmlFile.clear();
    } catch (...) {
    }
}

// The run log ends with what the run wrote.
void logSummary(const RunSummary& summary) noexcept
{
    try {
        if (!gLog || summary.isEmpty())
            return;
        gLog->setValue(QStringLiteral("\r\n\r\n") + QString(60, u'*') + QStringLiteral("\r\nGeschrieben:\r\n") +
                       summary.lines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
        gLog->update();
    } catch (...) {
    }
}

// A run the user or a signal cancelled is no failure to report with the error box: it gets a box
// of its own saying what became of the files.
bool reportIfCancelled(std::exception_ptr error, RunSummary& summary)
{
    if (toLaError(error).number() != ErrNo::UserInterrupt)
        return false;
    summary.setCancelled();
    prompt().messageBox(QStringLiteral("Der Lauf wurde abgebrochen.\r\nFertig erstellte Dateien bleiben erhalten, "
                                       "eine halb geschriebene Datei wurde gelöscht."),
                        MsgStyle::OkOnly | MsgStyle::Information,
                        appTitle());
    return true;
}

} // namespace

void runSalaryReport()
{
    RunSummary summary;
    runSalaryReport(summary);
}

void runSalaryReport(RunSummary& summary)
{
    summary.start();
    try {
        gOverwriteAsked = false;
        getINITValues();

        if (!gFrmMain)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        // Before the log is opened: a refused run must not empty the log of the run it waits for.
        const OutputLock lock(gFrmMain->txtToFile());
        const ScopedCleanupFile lockListed(forcedExitCleanupOf(gFrmMain->runCancel()),
                                           lock.isHeld() ? OutputLock::lockFileFor(gFrmMain->txtToFile()) : QString());

        QStringList notes;
        // Its own log, also while another run of the user still writes LOVARSLog.txt.
        gLog = openRunLog(notes);
        for (const QString& note : std::as_const(notes)) {
            gLog->setValue(note + QStringLiteral("\r\n"));
            gLog->update();
        }

        // Also after a failure: the files written before it are complete and stay.
        const auto logAtEnd = qScopeGuard([&summary] {
            summary.finish();
            logSummary(summary);
        });
        if (gFrmMain->opteLohnausweis())
            crtCSVData(summary);
        if (gFrmMain->optPDF())
            crtXMLData(summary);
    } catch (...) {
        if (!reportIfCancelled(std::current_exception(), summary))
            showError(16, QStringLiteral("frmMain.runSalaryReport"));
        deleteTempXmlFile();
    }
    summary.finish();
    gLog.reset();
    if (gFrmMain)
        gFrmMain->setBusyCursor(false);
}
