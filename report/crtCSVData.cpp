#include "report/crtCSVData.h"

#include "platform/LaError.h"
#include "report/CsvExport.h"
#include "report/RunSummary.h"

void crtCSVData()
{
    RunSummary summary;
    crtCSVData(summary);
}

void crtCSVData(RunSummary& summary)
{
    try {
        CsvExport run;
        run.run(summary);
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLData"));
    }
}
