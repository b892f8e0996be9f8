#include "report/crtXMLData.h"

#include "platform/LaError.h"

// Placeholder until the PDF run lands.
void crtXMLData()
{
    throw LaError(ErrNo::InvalidCall, QStringLiteral("frmMain.crtXMLData"), QStringLiteral("PDF-Ausgabe fehlt noch."));
}
