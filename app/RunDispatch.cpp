#include "app/RunDispatch.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "platform/LaError.h"
#include "platform/RunLogPath.h"
#include "platform/clsFSConnect.h"
#include "report/crtCSVData.h"
#include "report/crtXMLData.h"

#include <QFile>

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

} // namespace

void runSalaryReport()
{
    try {
        gOverwriteAsked = false;
        getINITValues();

        QStringList notes;
        const QString logPath = runLogPath(notes);
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logPath, 0, true);
        for (const QString& note : std::as_const(notes)) {
            gLog->setValue(note + QStringLiteral("\r\n"));
            gLog->update();
        }

        if (!gFrmMain)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        if (gFrmMain->opteLohnausweis())
            crtCSVData();
        if (gFrmMain->optPDF())
            crtXMLData();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.runSalaryReport"));
        deleteTempXmlFile();
    }
    gLog.reset();
    if (gFrmMain)
        gFrmMain->setBusyCursor(false);
}
