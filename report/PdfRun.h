#pragma once

#include <QString>

class RunSummary;
class TextStream;

// The steps of the PDF certificate run below crtXMLData (see crtXMLData.h).

// Saves the document to a new temporary file ("tmp..." in the temporary directory) and returns its
// full name. Throws LaError with "frmMain.crtXMLFile" in front; no temporary file is left behind then.
QString crtXMLFile(const TextStream& stream);

// One document of the run: the PDF to write, the saved document and what it holds.
struct PdfDocument
{
    QString pdfFile;
    QString xmlFile;
    qint64 certificates = 0;
    QString company;
};

// Renders the document with the formatter, logs the formatter's run in gLog and reports the result:
// a complete PDF is opened when the user asked for it and goes into `summary`; a failure shows the box
// "PDF-Datei konnte nicht erstellt werden." with file, reason and run log, and the run goes on. Asks
// before replacing the first existing PDF of the run. Returns false only when the user refused to
// replace it. Deletes the document's temporary file on every path. Throws LaError with
// "frmMain.crtPDFFile" in front (a folder at the PDF's name, a PDF that cannot be deleted, ...).
bool crtPDFFile(const PdfDocument& document, RunSummary& summary);

// What one formatter call gave.
struct PdfRendering
{
    bool complete = false; // exit status 0 and a complete PDF file
    QString reason;        // why not: the formatter's last error line, its exit status, the file's fault
    QString logBlock;      // the run log's block for this call (never with the password)
};

// The formatter's settings for a run: resolved paths and the password (empty when none is to be set).
struct FormatterCall
{
    QString formatter;
    QString styleSheet;
    bool withPassword = false;
    QString password;
};

// Runs "java -version" and the formatter for one document and checks the result; removes a half-written
// PDF. Reads no window and no global and writes no log, so documents may be rendered side by side.
PdfRendering renderPdf(const FormatterCall& call, const QString& xmlFile, const QString& pdfFile);

// A complete PDF: not empty, begins with "%PDF-", and ends with an "%%EOF" marker in its last kilobyte.
bool isCompletePdf(const QString& file);

// The last line of the formatter's output that reports an error ("…Error…", "…Exception…", "SEVERE",
// "FATAL"), not counting stack-trace lines, without a leading "Exception in thread "…" "; empty when
// there is none.
QString formatterErrorLine(const QString& output);

// The name of the numbered PDF file `number` for the output name `outputFile`: "_" and the number with
// at least three digits go before the last extension of the file name ("LA.pdf" -> "LA_003.pdf"), or
// at its end when the file name has none ("LA" -> "LA_003").
QString numberedPdfFileName(const QString& outputFile, qint64 number);

// One argument for a command line that is split by the Windows rules: in double quotes, with embedded
// quotes and the backslashes in front of them (and before the closing quote) escaped.
QString quoteArgument(const QString& argument);
