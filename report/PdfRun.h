#pragma once

#include "report/EmployeePassword.h"

#include <QList>
#include <QString>

class PdfRenderQueue;
class TextStream;

// The steps of the PDF certificate run below crtXMLData (see crtXMLData.h).

// Saves the document to a new temporary file ("tmp..." in the temporary directory) and returns its
// full name. Throws LaError with "frmMain.crtXMLFile" in front; no temporary file is left behind then.
QString crtXMLFile(const TextStream& stream);

// One certificate of a run that writes a PDF per employee.
struct EmployeeCertificate
{
    QString employee; // as the boxes name the employee: name and AHV number
    QString company;
    QString outlineTitle; // what the certificate's outline entry says
    QString relativePath; // the file below the folder of the output name
    QString file;         // its full name, as the user knows it
    EmployeePassword password;
};

// One document of the run: the PDF to write, the saved document and what it holds.
struct PdfDocument
{
    QString pdfFile;
    QString xmlFile;
    qint64 certificates = 0;
    QString company;
    QString refusal; // why the document is not rendered at all (see OversizedText.h); empty normally
    // In a run with a file per employee: its certificates, each written to a file of its own instead of
    // pdfFile, which then only names their folder.
    QList<EmployeeCertificate> employees;
    bool perEmployee() const { return !employees.isEmpty(); }
};

// The formatter's settings for a run: resolved paths and the password (empty when none is to be set).
struct FormatterCall
{
    QString formatter;
    QString styleSheet;
    bool withPassword = false;
    QString password;
};

// Hands the saved document to the formatter (`call`) through `queue`, which renders it, logs the formatter's run
// in gLog and reports the result (see PdfRenderQueue). Asks before replacing the first existing PDF of
// the run, after the documents before it have been rendered and reported. Returns false only when the
// user refused to replace it. The document's temporary file is deleted on every path. Throws LaError
// with "frmMain.crtPDFFile" in front (a folder at the PDF's name, a folder that takes no file, ...).
bool crtPDFFile(const PdfDocument& document, const FormatterCall& call, PdfRenderQueue& queue);

// What one formatter call gave.
struct PdfRendering
{
    bool complete = false; // exit status 0 and a complete PDF file
    QString reason;        // why not: the formatter's last error line, its exit status, the file's fault
    QString logBlock;      // the run log's block for this call (never with the password)
};

// The formatter's command line for one document; it never carries the password.
QString formatterCommandLine(const FormatterCall& call, const QString& xmlFile, const QString& pdfFile);

// Judges what "java -version" and the formatter gave for one document (their captured texts and the
// formatter's exit status as clsShell reports them) and removes a half-written PDF. `pdfFile` is the
// file the formatter wrote, `finalName` the name the PDF is for. Reads no window and no global and
// writes no log, so documents may be rendered side by side.
PdfRendering checkRendering(const FormatterCall& call,
                            const QString& xmlFile,
                            const QString& pdfFile,
                            const QString& finalName,
                            const QString& javaVersion,
                            const QString& formatterOutput,
                            int status);

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
