#include "report/crtCSVData.h"

#include "platform/LaError.h"

// Placeholder until the CSV export lands.
void crtCSVData()
{
    throw LaError(ErrNo::InvalidCall, QStringLiteral("frmMain.crtXMLData"), QStringLiteral("CSV-Ausgabe fehlt noch."));
}
