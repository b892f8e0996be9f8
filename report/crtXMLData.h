#pragma once

class RunSummary;

// The PDF certificate run: reads the certificate rows, writes the salary declaration documents and
// has the formatter render each into a PDF file. Reads its settings from gFrmMain and the globals.
// Throws LaError with "frmMain.crtXMLData" (or crtXMLFile, crtPDFFile) in front of the source chain.
// The PDF files written go into `summary`.
void crtXMLData(RunSummary& summary);
void crtXMLData();
