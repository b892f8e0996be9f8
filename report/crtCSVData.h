#pragma once

class RunSummary;

// The eLohnausweis SSK import file. Reads its settings from gFrmMain and the globals.
// Throws LaError with "frmMain.crtXMLData" in front of the source chain.
// The files written go into `summary`.
void crtCSVData(RunSummary& summary);
void crtCSVData();
