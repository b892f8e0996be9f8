#include "report/crtCSVData.h"

#include "platform/LaError.h"
#include "report/CsvExport.h"

void crtCSVData()
{
    try {
        CsvExport run;
        run.run();
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLData"));
    }
}
