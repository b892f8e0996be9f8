#pragma once

#include <QString>

class TextStream;

// The steps of the PDF certificate run below crtXMLData (see crtXMLData.h).

// Saves the document to a new temporary file ("tmp..." in the temporary directory) and returns its
// full name. Throws LaError with "frmMain.crtXMLFile" in front; no temporary file is left behind then.
QString crtXMLFile(const TextStream& stream);

// Renders the saved document `xmlFile` into `pdfFile` with the formatter, logs the formatter's run in
// gLog, checks the result and opens the PDF when the user asked for it. Asks once per run before
// replacing an existing PDF. Returns false only when the user refused to replace it. Deletes
// `xmlFile` on every path. Throws LaError with "frmMain.crtPDFFile" in front.
bool crtPDFFile(const QString& pdfFile, const QString& xmlFile);

// The name of the numbered PDF file `number` for the output name `outputFile`: "_" and the number with
// at least three digits go before the last extension of the file name ("LA.pdf" -> "LA_003.pdf"), or
// at its end when the file name has none ("LA" -> "LA_003").
QString numberedPdfFileName(const QString& outputFile, qint64 number);

// One argument for a command line that is split by the Windows rules: in double quotes, with embedded
// quotes and the backslashes in front of them (and before the closing quote) escaped.
QString quoteArgument(const QString& argument);
