#pragma once

// The eLohnausweis SSK import file. Reads its settings from gFrmMain and the globals.
// Throws LaError with "frmMain.crtXMLData" in front of the source chain.
void crtCSVData();
