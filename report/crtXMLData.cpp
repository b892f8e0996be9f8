#include "report/crtXMLData.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "db/ConnectionString.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/AppIdentity.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/RunCancel.h"
#include "platform/TempFileInUse.h"
#include "platform/clsFSConnect.h"
#include "platform/clsShell.h"
#include "report/CheckBeforeRun.h"
#include "report/EmployeeFiles.h"
#include "report/FopJobPool.h"
#include "report/FormatterSettings.h"
#include "report/FormatterSetup.h"
#include "report/OversizedText.h"
#include "report/OverwriteQuestion.h"
#include "report/PdfRenderQueue.h"
#include "report/PdfRun.h"
#include "report/RunSelection.h"
#include "report/RunSummary.h"
#include "report/TextStream.h"
#include "report/crtXMLDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <memory>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
// The first document ends before the row that brings its row count to this value.
constexpr qint64 kDocumentRowLimit = 200;

MainWindowView& mainWindow()
{
    if (!gFrmMain)
        throw LaError::runtime(ErrNo::ObjectNotSet);
    return *gFrmMain;
}

// Deletes the temporary document when the rendering step is left, whichever way. Until then the
// document is marked as in use, so that another instance starting meanwhile leaves it alone.
class TemporaryFileRemover
{
public:
    explicit TemporaryFileRemover(QString file)
        : m_file(std::move(file))
        , m_inUse(m_file)
        , m_listed(forcedExitCleanupOf(gFrmMain ? gFrmMain->runCancel() : nullptr), m_file)
    {
    }
    ~TemporaryFileRemover()
    {
        if (!m_file.isEmpty())
            QFile::remove(m_file);
    }
    // The file has a new owner that deletes it.
    void release() { m_file.clear(); }
    TemporaryFileRemover(const TemporaryFileRemover&) = delete;
    TemporaryFileRemover& operator=(const TemporaryFileRemover&) = delete;

private:
    QString m_file;
    TempFileInUse m_inUse;
    ScopedCleanupFile m_listed;
};

QString formatterFileArguments(const FormatterCall& call, const QString& xmlFile, const QString& pdfFile)
{
    return QStringLiteral(" -xml ") + quoteArgument(xmlFile) + QStringLiteral(" -xsl ") +
           quoteArgument(call.styleSheet) + QStringLiteral(" -pdf ") + quoteArgument(pdfFile);
}

// How many formatter jobs the run starts at once; what the run log should know about the setting
// goes there first.
int formatterJobs()
{
    QStringList notes;
    const int jobs = formatterJobCount(notes);
    for (const QString& note : std::as_const(notes)) {
        if (!gLog)
            break;
        gLog->setValue(note + kCrLf);
        gLog->update();
    }
    return jobs;
}

// A run with a file per employee: where they go, what they are called and what protects them; none
// for a run of one file per document.
std::unique_ptr<EmployeeFiles> employeeFilesFor(const MainWindowView& window)
{
    if (!window.chkPerEmployee())
        return nullptr;
    const EmployeePasswordKind kind = window.chkPassword() ? window.employeePasswordKind() : EmployeePasswordKind::None;
    return std::make_unique<EmployeeFiles>(window.txtToFile(),
                                           employeeFileNamePattern(),
                                           kind,
                                           kind == EmployeePasswordKind::Fixed ? window.txtPDFPassword() : QString());
}

} // namespace

QString numberedPdfFileName(const QString& outputFile, qint64 number)
{
    const QString suffix = u'_' + QString::number(number).rightJustified(3, u'0');
    const qsizetype nameStart =
        std::max(outputFile.lastIndexOf(u'/'), outputFile.lastIndexOf(u'\\')) + 1; // 0 when there is none
    const qsizetype dot = outputFile.lastIndexOf(u'.');
    if (dot < nameStart)
        return outputFile + suffix;
    return outputFile.left(dot) + suffix + outputFile.mid(dot);
}

QString quoteArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    qsizetype backslashes = 0;
    for (const QChar c : argument) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"')
            quoted += QString(backslashes * 2 + 1, u'\\');
        else
            quoted += QString(backslashes, u'\\');
        quoted += c;
        backslashes = 0;
    }
    quoted += QString(backslashes * 2, u'\\');
    return quoted + u'"';
}

QString crtXMLFile(const TextStream& stream)
{
    QString file;
    try {
        file = CreateTempFile(QStringLiteral("tmp"), QString());
        if (file.isEmpty())
            throw LaError::runtime(ErrNo::PathFileAccess,
                                   QStringLiteral("Im temporären Verzeichnis kann keine Datei angelegt werden."));
        stream.saveToFile(file);
        return file;
    } catch (...) {
        if (!file.isEmpty())
            QFile::remove(file);
        raiseError(QStringLiteral("frmMain.crtXMLFile"));
    }
}

bool isCompletePdf(const QString& file)
{
    QFile pdf(file);
    if (!QFileInfo(file).isFile() || !pdf.open(QIODevice::ReadOnly) || pdf.size() == 0)
        return false;
    if (pdf.read(5) != "%PDF-")
        return false;
    constexpr qint64 kTail = 1024;
    if (pdf.size() > kTail && !pdf.seek(pdf.size() - kTail))
        return false;
    return pdf.readAll().contains("%%EOF");
}

QString formatterErrorLine(const QString& output)
{
    static const QRegularExpression error(QStringLiteral("error|exception|severe|fatal"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression threadPrefix(QStringLiteral("^Exception in thread \"[^\"]*\" "));
    const QStringList lines = output.split(u'\n');
    for (auto it = lines.crbegin(); it != lines.crend(); ++it) {
        QString line = it->trimmed();
        if (line.startsWith(QStringLiteral("at ")) || line.startsWith(QStringLiteral("...")) || !line.contains(error))
            continue;
        return line.remove(threadPrefix);
    }
    return {};
}

QString formatterCommandLine(const FormatterCall& call, const QString& xmlFile, const QString& pdfFile)
{
    // Never the password: every user of the machine can read a command line, and the formatter would
    // take a password beginning with "-" for an option. The program encrypts the finished PDF itself.
    return quoteArgument(call.formatter) + formatterFileArguments(call, xmlFile, pdfFile);
}

PdfRendering checkRendering(const FormatterCall& call,
                            const QString& xmlFile,
                            const QString& pdfFile,
                            const QString& finalName,
                            const QString& javaVersion,
                            const QString& formatterOutput,
                            int status)
{
    PdfRendering result;
    // The password never goes into the log: the log block repeats only the file arguments.
    result.logBlock = kCrLf + kCrLf + QString(60, u'*') + kCrLf + QStringLiteral("Create file ") + finalName + kCrLf +
                      kCrLf + formatterFileArguments(call, xmlFile, pdfFile) + kCrLf + kCrLf + javaVersion + kCrLf +
                      formatterOutput;

    // A formatter that dies half-way may leave a file that looks like a PDF until it is opened.
    const bool exists = QFileInfo(pdfFile).isFile();
    result.complete = status == 0 && isCompletePdf(pdfFile);
    if (result.complete)
        return result;

    QStringList reason;
    if (const QString line = formatterErrorLine(formatterOutput); !line.isEmpty())
        reason << line;
    if (status == clsShell::kNotStarted)
        reason << QStringLiteral("Der Formatierer konnte nicht gestartet werden");
    else if (status != 0)
        reason << QStringLiteral("Exitstatus %1").arg(status);
    else if (!exists)
        reason << QStringLiteral("Keine Datei geschrieben");
    else
        reason << QStringLiteral("Die Datei ist kein vollständiges PDF");
    result.reason = reason.join(QStringLiteral("; "));
    if (exists)
        QFile::remove(pdfFile);
    return result;
}

bool crtPDFFile(const PdfDocument& document, const FormatterCall& call, PdfRenderQueue& queue)
{
    TemporaryFileRemover removeXml(document.xmlFile);
    const QString& pdfFile = document.pdfFile;
    try {
        MainWindowView& window = mainWindow();
        if (!gLog)
            throw LaError::runtime(ErrNo::ObjectNotSet);

        // Never while formatters run: the question waits until the documents before have been rendered
        // and reported, so that Cancel leaves them as complete as a run without side-by-side jobs would.
        // A document split into files per employee is asked about for the first of them that exists.
        QString asked = document.perEmployee() ? QString() : pdfFile;
        for (const EmployeeCertificate& c : document.employees) {
            if (overwriteQuestionDue(c.file)) {
                asked = c.file;
                break;
            }
        }
        if (!asked.isEmpty() && overwriteQuestionDue(asked))
            queue.finish();
        if (!asked.isEmpty() && !mayWriteOutputFile(asked))
            return false;

        window.setStatusText(QStringLiteral("Datei '") + pdfFile + QStringLiteral("' erstellen ..."));
        // An existing PDF stays until its successor is complete (see PdfPlacement).
        removeXml.release();
        queue.submit(document, call);
        return true;
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtPDFFile"));
    }
}

void crtXMLData()
{
    RunSummary summary;
    crtXMLData(summary);
}

void crtXMLData(RunSummary& summary)
{
    try {
        MainWindowView& window = mainWindow();
        window.setStatusText(QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
        // Before the login: without the formatter the run cannot write anything.
        const FormatterCall call = formatterCallFor(window);
        const std::unique_ptr<EmployeeFiles> employeeFiles = employeeFilesFor(window);

        std::unique_ptr<clsADOConnect> reader;
        const RunSelection selection = window.runSelection();
        const qint16 medium = getMediumIndex();
        if (medium == 1 || medium == 0) {
            reader = std::make_unique<clsADOConnect>();
            const QString source = getADOProvider(medium, window.txtSrcFile());
            // Login closed without OK, or its own box shown: no connection is tried.
            if (source.isEmpty())
                return;
            reader->setSource(source);
            reader->setTimeout(dbTimeoutSeconds());
            reader->setLibl(window.txtLib());
            // init has shown its own error box; the run ends quietly.
            if (!reader->init(QString(kExportTableName),
                              {},
                              selection.condition(),
                              QStringLiteral("EFLDI2, EFLDH1"),
                              selection.parameters()))
                return;
        }
        auto requireReader = [&]() -> clsADOConnect& {
            if (!reader)
                throw LaError::runtime(ErrNo::ObjectNotSet);
            return *reader;
        };
        // Before any file is asked about, deleted or rendered.
        if (requireReader().isEOF())
            throw LaError(ErrNo::NoCertificateData, appTitle(), selection.noCertificateDataText());
        if (!checkBeforeRun(reader->getConnection(), window.txtLib(), selection, false, summary))
            return;

        const QString outputFile = window.txtToFile();
        const FormLanguageChoice language = formLanguageSetting();
        auto stream = std::make_unique<TextStream>();
        // The formatter renders earlier documents while the rows of the next are read.
        // Leaving early (an error, a cancel) ends the jobs still running.
        PdfRenderQueue queue(window, summary, formatterJobs());
        if (employeeFiles) {
            queue.setEmployeeFiles(employeeFiles.get());
            summary.setPerEmployee(employeePasswordDescription(employeeFiles->passwordKind()));
        }

        // Wide counters: a run is not limited in rows or files.
        qint64 rowCount = 0;
        qint64 documentRows = 0;
        qint64 fileCount = 0;
        bool companyOpen = false;
        QString generalDescription;
        PdfDocument document;

        RunCancel* cancel = window.runCancel();
        while (!reader->isEOF()) {
            if (cancel)
                cancel->checkpoint();
            ++rowCount;
            ++documentRows;

            const Variant company = reader->getRecordset()->value(Field::EFLDI2);
            // A document is open from its first row on; testing that rather than an empty company name
            // keeps a company without a name from taking in the rows of the companies after it. A row
            // without a company (Null) must not join the document either: its certificate would carry
            // another employer's name. It ends the document and then fails in crtXMLHeader.
            const bool companyChanged = companyOpen && (company.isNull() || company.toText() != document.company);
            if (companyChanged || documentRows == kDocumentRowLimit) {
                ++fileCount;
                crtXMLEnd(*stream, generalDescription, companyOpen);
                document.refusal = oversizedTextReason(stream->text());
                gTempXmlFile = crtXMLFile(*stream);
                document.pdfFile = numberedPdfFileName(outputFile, fileCount);
                if (employeeFiles)
                    document.pdfFile = employeeFiles->documentName(document.employees);
                document.xmlFile = gTempXmlFile;
                if (!crtPDFFile(document, call, queue))
                    return;
                companyOpen = false;
                documentRows = 0;
                document.certificates = 0;
                document.employees.clear();
                stream = std::make_unique<TextStream>();
            }

            window.setStatusText(QStringLiteral("Datensatz lesen: ") + QString::number(rowCount));

            if (!companyOpen) {
                generalDescription = crtXMLHeader(*stream, *reader);
                companyOpen = true;
                document.company = reader->getRecordset()->value(Field::EFLDI2).toText();
            }
            crtXMLBody(*stream, *reader, language);
            ++document.certificates;
            if (employeeFiles)
                document.employees.append(employeeFiles->next(*reader->getRecordset()));
            reader->MoveNext();
        }

        crtXMLEnd(*stream, generalDescription, companyOpen);
        document.refusal = oversizedTextReason(stream->text());
        gTempXmlFile = crtXMLFile(*stream);

        document.pdfFile = outputFile;
        if (fileCount > 0)
            document.pdfFile = numberedPdfFileName(outputFile, ++fileCount);
        if (employeeFiles)
            document.pdfFile = employeeFiles->documentName(document.employees);
        document.xmlFile = gTempXmlFile;
        if (!crtPDFFile(document, call, queue))
            return;
        try {
            queue.finish();
        } catch (...) {
            raiseError(QStringLiteral("frmMain.crtPDFFile"));
        }
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLData"));
    }
}
