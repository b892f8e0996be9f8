#include "report/crtXMLData.h"

#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/clsFSConnect.h"
#include "platform/clsShell.h"
#include "report/PdfRun.h"
#include "report/ReportFixtures.h"
#include "support/FakeMainWindow.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNotCreated = QStringLiteral("PDF-Datei konnte nicht erstellt werden.");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(content), content.size());
}

// A payroll database, the main window, the prompt, the log and the test formatter for one PDF run.
class PdfRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("out")));
        ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("tmp")));
        outDir = work.filePath(QStringLiteral("out"));
        tempDir = work.filePath(QStringLiteral("tmp"));
        argvFile = work.filePath(QStringLiteral("argv"));
        logFile = work.filePath(QStringLiteral("LOVARSLog.txt"));
        const QString styleSheet = work.filePath(QStringLiteral("form.xsl"));
        writeFile(styleSheet, "<xsl/>");

        previousTmp = qgetenv("TMPDIR");
        qputenv("TMPDIR", tempDir.toLocal8Bit());
        qputenv("FAKE_FOP_ARGV", argvFile.toLocal8Bit());
        qunsetenv("FAKE_FOP_NO_PDF");

        PayrollTables::createExportTable(db);
        window.medium = 1;
        window.srcFile = db.path();
        window.lib = db.library();
        window.toFile = outDir + QStringLiteral("/LA.pdf");
        window.pdf = true;
        gFrmMain = &window;
        gFopPath = QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh");
        gXslPath = styleSheet;
        gOverwriteAsked = false;
        gTempXmlFile.clear();
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logFile, 0);
    }

    void TearDown() override
    {
        gFrmMain = nullptr;
        gLog.reset();
        gTempXmlFile.clear();
        if (previousTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previousTmp);
        qunsetenv("FAKE_FOP_ARGV");
        qunsetenv("FAKE_FOP_NO_PDF");
    }

    void insertRows(const QList<ExportRowValues>& rows)
    {
        db.exec(QStringLiteral("BEGIN"));
        for (const ExportRowValues& row : rows) {
            PayrollTables::Row values;
            for (auto it = row.begin(); it != row.end(); ++it)
                values.append({it.key(), it.value()});
            PayrollTables::insert(db, QStringLiteral("LGHLAEXP"), values);
        }
        db.exec(QStringLiteral("COMMIT"));
    }

    void insertCompany(const QString& company, int first, int count)
    {
        QList<ExportRowValues> rows;
        for (int i = first; i < first + count; ++i)
            rows.append(employeeRow(company, i));
        insertRows(rows);
    }

    QString out(const QString& name) const { return outDir + u'/' + name; }

    QStringList outputFiles() const { return QDir(outDir).entryList(QDir::Files, QDir::Name); }

    QStringList temporaryFiles() const { return QDir(tempDir).entryList(QDir::Files | QDir::Hidden); }

    // The argument lists of all formatter calls, in order.
    QList<QStringList> formatterCalls() const
    {
        QList<QStringList> calls;
        QStringList current;
        QList<QByteArray> args = readAll(argvFile).split('\0');
        args.removeLast(); // behind the last NUL
        for (const QByteArray& arg : args) {
            if (arg == "--end--") {
                calls.append(current);
                current.clear();
            } else {
                current.append(QString::fromUtf8(arg));
            }
        }
        return calls;
    }

    QString logText()
    {
        gLog.reset();
        return QString::fromLatin1(readAll(logFile));
    }

    // The staff names a "PDF" of the test formatter holds (it copies the document).
    QStringList staffNames(const QString& pdf) const
    {
        QStringList names;
        const QString doc = QString::fromUtf8(readAll(pdf));
        const QString open = QStringLiteral("</ns2:Social-InsuranceIdentification>\r\n<ns2:Name>");
        for (qsizetype at = doc.indexOf(open); at >= 0; at = doc.indexOf(open, at + 1)) {
            const qsizetype start = at + open.size();
            names.append(doc.mid(start, doc.indexOf(u'<', start) - start));
        }
        return names;
    }

    LaError runExpectingError()
    {
        try {
            crtXMLData();
        } catch (const LaError& e) {
            return e;
        }
        ADD_FAILURE() << "the run ended without an error";
        return LaError(0, {}, {});
    }

    QTemporaryDir work;
    QString outDir;
    QString tempDir;
    QString argvFile;
    QString logFile;
    QByteArray previousTmp;
    SqliteTestDatabase db;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt scopedPrompt{prompt};
};

QStringList personNames(int first, int last)
{
    QStringList names;
    for (int i = first; i <= last; ++i)
        names.append(QStringLiteral("Person %1").arg(i, 5, 10, QLatin1Char('0')));
    return names;
}

} // namespace

TEST(PdfFileName, NumberGoesBeforeTheLastExtensionOfTheFileName)
{
    const struct
    {
        const char* output;
        qint64 number;
        const char* expected;
    } cases[] = {
        {"/out/LA.pdf", 1, "/out/LA_001.pdf"},
        {"C:\\Lohn\\LA2024.pdf", 3, "C:\\Lohn\\LA2024_003.pdf"},
        {"/out/LA", 1, "/out/LA_001"},
        {"/out/LA.html", 2, "/out/LA_002.html"},
        {"/out/LA.2024.pdf", 12, "/out/LA.2024_012.pdf"},
        {"/out.d/LA", 7, "/out.d/LA_007"},
        {"C:\\Out.d\\LA", 7, "C:\\Out.d\\LA_007"},
        {"LA.pdf", 999, "LA_999.pdf"},
        {"LA.pdf", 1000, "LA_1000.pdf"},
        {"LA.pdf", 40000, "LA_40000.pdf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberedPdfFileName(QString::fromUtf8(c.output), c.number).toStdString(), c.expected);
}

TEST(PdfFileName, QuotedArgumentsSplitBackToThemselves)
{
    const QStringList arguments{
        QStringLiteral("geheim"),
        QStringLiteral("mit Leerzeichen"),
        QStringLiteral("quote\"inside"),
        QStringLiteral("back\\slash"),
        QStringLiteral("back\\\"quote"),
        QStringLiteral("trailing\\"),
        QStringLiteral("two\\\\"),
        QStringLiteral("\"\""),
        QString(),
        QStringLiteral("Pässwört ß"),
    };
    for (const QString& a : arguments) {
        const QStringList split = clsShell::splitCommandLine(QStringLiteral("fop -u ") + quoteArgument(a) +
                                                             QStringLiteral(" -xml \"x y.xml\""));
        EXPECT_EQ(
            split,
            (QStringList{
                QStringLiteral("fop"), QStringLiteral("-u"), a, QStringLiteral("-xml"), QStringLiteral("x y.xml")}))
            << a.toStdString();
    }
    EXPECT_EQ(quoteArgument(QStringLiteral("/out/LA.pdf")), QStringLiteral("\"/out/LA.pdf\""));
}

TEST_F(PdfRunTest, FourHundredFiftyRowsOfOneCompanyGiveThreeNumberedFiles)
{
    insertCompany(QStringLiteral("Alpha AG"), 1, 450);
    crtXMLData();

    EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf", "LA_003.pdf"}));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 199));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(200, 399));
    EXPECT_EQ(staffNames(out("LA_003.pdf")), personNames(400, 450));
    EXPECT_TRUE(prompt.boxes.isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
    EXPECT_EQ(formatterCalls().size(), 3);
    EXPECT_TRUE(window.statusTexts.contains(QStringLiteral("Datensatz lesen: 450")));
    EXPECT_EQ(window.statusTexts.first(), QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
    EXPECT_TRUE(
        window.statusTexts.contains(QStringLiteral("Datei '") + out("LA_002.pdf") + QStringLiteral("' erstellen ...")));
    // The last document is rendered after the last row was read.
    EXPECT_EQ(window.statusTexts.last(),
              QStringLiteral("Datei '") + out("LA_003.pdf") + QStringLiteral("' erstellen ..."));
}

TEST_F(PdfRunTest, OneSmallDocumentTakesTheOutputNameAsItStands)
{
    for (const QString& name : {QStringLiteral("LA.pdf"), QStringLiteral("LA"), QStringLiteral("LA.html")}) {
        QDir(outDir).removeRecursively();
        QDir().mkpath(outDir);
        window.toFile = out(name);
        gOverwriteAsked = false;
        insertCompany(QStringLiteral("Alpha AG"), 1, name == QStringLiteral("LA.pdf") ? 150 : 1);
        crtXMLData();
        EXPECT_EQ(outputFiles(), QStringList{name});
        db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
    }
    EXPECT_TRUE(prompt.boxes.isEmpty());
}

TEST_F(PdfRunTest, EachCompanyGetsItsOwnDocument)
{
    insertCompany(QStringLiteral("A"), 1, 10);
    insertCompany(QStringLiteral("B"), 11, 5);
    crtXMLData();

    EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf"}));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 10));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(11, 15));
    EXPECT_TRUE(readAll(out("LA_002.pdf")).contains("<ns2:HR-RC-Name>B</ns2:HR-RC-Name>"));
    EXPECT_FALSE(readAll(out("LA_002.pdf")).contains("<ns2:HR-RC-Name>A</ns2:HR-RC-Name>"));
}

TEST_F(PdfRunTest, CompanyWithoutNameDoesNotTakeInTheNextCompany)
{
    insertCompany(QString(), 1, 2);
    insertCompany(QStringLiteral("B"), 3, 2);
    crtXMLData();

    EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf"}));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 2));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(3, 4));
    EXPECT_TRUE(readAll(out("LA_002.pdf")).contains("<ns2:HR-RC-Name>B</ns2:HR-RC-Name>"));
}

TEST_F(PdfRunTest, OutputNameWithoutThreeLetterExtensionIsNumberedInItsOwnDirectory)
{
    insertCompany(QStringLiteral("A"), 1, 2);
    insertCompany(QStringLiteral("B"), 3, 2);
    ASSERT_TRUE(QDir(outDir).mkpath(QStringLiteral("v1.2")));
    const struct
    {
        QString toFile;
        QStringList files;
    } cases[] = {
        {out("LA"), {"LA_001", "LA_002"}},
        {out("LA.html"), {"LA_001.html", "LA_002.html"}},
        {out("v1.2/LA"), {}},
    };
    for (const auto& c : cases) {
        window.toFile = c.toFile;
        crtXMLData();
    }
    EXPECT_EQ(outputFiles(), (QStringList{"LA_001", "LA_001.html", "LA_002", "LA_002.html"}));
    EXPECT_EQ(QDir(out("v1.2")).entryList(QDir::Files, QDir::Name), (QStringList{"LA_001", "LA_002"}));
    EXPECT_TRUE(QDir::current().entryList({QStringLiteral("_00*")}).isEmpty());
}

TEST_F(PdfRunTest, ExistingFilesAreAskedAboutOnceAndReplaced)
{
    insertCompany(QStringLiteral("A"), 1, 3);
    insertCompany(QStringLiteral("B"), 4, 3);
    writeFile(out("LA_001.pdf"), "old one");
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();

    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(prompt.boxes[0].text,
              QStringLiteral("Soll die Datei \"") + out("LA_001.pdf") + QStringLiteral("\" überschrieben werden?"));
    EXPECT_EQ(prompt.boxes[0].style, 1);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("Datei überschreiben"));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 3));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));
}

TEST_F(PdfRunTest, LaterFilesAreNotAskedAboutWhenTheFirstDidNotExist)
{
    insertCompany(QStringLiteral("A"), 1, 3);
    insertCompany(QStringLiteral("B"), 4, 3);
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();
    EXPECT_TRUE(prompt.boxes.isEmpty());
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));
}

TEST_F(PdfRunTest, CancelEndsTheRunWithoutPdfAndWithoutTemporaryFile)
{
    insertCompany(QStringLiteral("A"), 1, 3);
    insertCompany(QStringLiteral("B"), 4, 3);
    writeFile(out("LA_001.pdf"), "old one");
    prompt.answers = {MsgAnswer::Cancel};
    crtXMLData();

    EXPECT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(outputFiles(), QStringList{"LA_001.pdf"});
    EXPECT_EQ(readAll(out("LA_001.pdf")), QByteArray("old one"));
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
}

TEST_F(PdfRunTest, MissingPdfIsReportedAndTheRunGoesOn)
{
    insertCompany(QStringLiteral("A"), 1, 2);
    insertCompany(QStringLiteral("B"), 3, 2);
    qputenv("FAKE_FOP_NO_PDF", "1");
    crtXMLData();

    ASSERT_EQ(prompt.boxes.size(), 2);
    for (const auto& box : prompt.boxes) {
        EXPECT_EQ(box.text, kNotCreated);
        EXPECT_EQ(box.style, 16);
        EXPECT_EQ(box.title, QStringLiteral("Fehler"));
    }
    EXPECT_EQ(formatterCalls().size(), 2);
    EXPECT_TRUE(outputFiles().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());
    EXPECT_TRUE(logText().contains(QStringLiteral("SEVERE no PDF written")));
}

TEST_F(PdfRunTest, NoRowsRunsTheFormatterOnceThenRaisesErrorOne)
{
    const LaError e = runExpectingError();

    EXPECT_EQ(e.number(), ErrNo::NoCertificateData);
    EXPECT_EQ(e.source(), QStringLiteral("frmMain.crtXMLData\r\nLOVAR/400 Rariz Neuer Lohnausweis"));
    EXPECT_EQ(e.description(), QStringLiteral("Es wurden keine Lohnausweisdaten zum importieren gefunden!"));
    const QList<QStringList> calls = formatterCalls();
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].last(), out("LA.pdf"));
    EXPECT_EQ(readAll(out("LA.pdf")),
              QByteArray(" </ct:SalaryDeclaration> </ns1:DeclareSalary> </soapenv:Body> </soapenv:Envelope>\r\n"));
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

TEST_F(PdfRunTest, NoRowsAndNoPdfShowsTheBoxBeforeTheError)
{
    qputenv("FAKE_FOP_NO_PDF", "1");
    const LaError e = runExpectingError();
    EXPECT_EQ(e.number(), ErrNo::NoCertificateData);
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(prompt.boxes[0].text, kNotCreated);
}

TEST_F(PdfRunTest, PasswordReachesTheFormatterAsOneArgumentAndNeverTheLog)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    insertCompany(QStringLiteral("B"), 2, 1);
    const QString password = QStringLiteral("ge heim\"\\x\\ Pässwort");
    window.passwordChecked = true;
    window.password = password;
    crtXMLData();

    const QList<QStringList> calls = formatterCalls();
    ASSERT_EQ(calls.size(), 2);
    for (const QStringList& call : calls) {
        const QStringList expected{QStringLiteral("-u"),
                                   password,
                                   QStringLiteral("-xml"),
                                   call.value(3),
                                   QStringLiteral("-xsl"),
                                   gXslPath,
                                   QStringLiteral("-pdf"),
                                   call.value(7)};
        EXPECT_EQ(call, expected);
        EXPECT_TRUE(call.value(3).startsWith(tempDir + QStringLiteral("/tmp")));
    }
    EXPECT_EQ(calls[0].value(7), out("LA_001.pdf"));
    EXPECT_EQ(calls[1].value(7), out("LA_002.pdf"));

    const QString log = logText();
    EXPECT_FALSE(log.contains(QStringLiteral("ge heim")));
    EXPECT_FALSE(log.contains(QStringLiteral(" -u ")));
}

TEST_F(PdfRunTest, UncheckedPasswordIsNeitherReadNorPassed)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    window.password = QStringLiteral("geheim");
    crtXMLData();
    EXPECT_EQ(window.passwordReads, 0);
    ASSERT_EQ(formatterCalls().size(), 1);
    EXPECT_EQ(formatterCalls()[0].value(0), QStringLiteral("-xml"));
}

TEST_F(PdfRunTest, LogHoldsOneBlockPerPdfFile)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    insertCompany(QStringLiteral("B"), 2, 1);
    window.passwordChecked = true;
    window.password = QStringLiteral("s3cret");
    crtXMLData();

    const QString log = logText();
    const QString stars = QString(60, u'*');
    EXPECT_EQ(log.count(stars), 2);
    EXPECT_FALSE(log.contains(QString(61, u'*')));
    EXPECT_FALSE(log.contains(QStringLiteral("s3cret")));
    const QStringList blocks = log.split(kCrLf + kCrLf + stars + kCrLf);
    ASSERT_EQ(blocks.size(), 3);
    EXPECT_EQ(blocks[0], QString());
    for (int i = 1; i <= 2; ++i) {
        const QString pdf = out(QStringLiteral("LA_00%1.pdf").arg(i));
        SCOPED_TRACE(pdf.toStdString());
        EXPECT_TRUE(blocks[i].startsWith(QStringLiteral("Create file ") + pdf + kCrLf + kCrLf +
                                         QStringLiteral(" -xml \"") + tempDir + QStringLiteral("/tmp")));
        EXPECT_TRUE(blocks[i].contains(QStringLiteral("\" -xsl \"") + gXslPath + QStringLiteral("\" -pdf \"") + pdf +
                                       QStringLiteral("\"\r\n\r\n")));
        EXPECT_TRUE(blocks[i].contains(QStringLiteral("fake-fop: wrote ") + pdf));
    }
}

TEST_F(PdfRunTest, NullTextFieldEndsTheRunAndLeavesNoTemporaryFile)
{
    QList<ExportRowValues> rows;
    for (int i = 1; i <= 250; ++i)
        rows.append(employeeRow(QStringLiteral("A"), i));
    rows[239][Field::EB0100] = Variant::null();
    insertRows(rows);

    const LaError e = runExpectingError();
    EXPECT_EQ(e.number(), ErrNo::InvalidUseOfNull);
    const QStringList chain = e.source().split(kCrLf);
    ASSERT_GE(chain.size(), 2);
    EXPECT_EQ(chain[0], QStringLiteral("frmMain.crtXMLData"));
    EXPECT_EQ(chain[1], QStringLiteral("frmMain.crtXMLBody"));
    EXPECT_EQ(outputFiles(), QStringList{"LA_001.pdf"});
    EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
}

TEST_F(PdfRunTest, PdfThatCannotBeDeletedEndsTheRunNamingTheFile)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    // A non-empty directory under the PDF's name cannot be removed.
    ASSERT_TRUE(QDir(outDir).mkpath(QStringLiteral("LA.pdf/inner")));
    const LaError e = runExpectingError();

    EXPECT_EQ(e.source().section(kCrLf, 0, 3),
              QStringLiteral("frmMain.crtXMLData\r\nfrmMain.crtPDFFile\r\n\r\nDatei ") + out("LA.pdf") +
                  QStringLiteral(" konnte nicht gelöscht werden."));
    EXPECT_EQ(e.source().count(QStringLiteral("frmMain.crtPDFFile")), 1);
    EXPECT_EQ(prompt.boxes.size(), 1); // the overwrite question
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

TEST_F(PdfRunTest, NoTransferTypeFailsAtTheFirstReaderOperation)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    window.medium = -1;
    const LaError e = runExpectingError();
    EXPECT_EQ(e.number(), ErrNo::ObjectNotSet);
    EXPECT_EQ(e.source(), QStringLiteral("frmMain.crtXMLData"));
    EXPECT_TRUE(formatterCalls().isEmpty());
}

TEST_F(PdfRunTest, ReaderThatCannotOpenEndsTheRunAfterItsOwnBox)
{
    window.srcFile = work.filePath(QStringLiteral("missing/payroll.sqlite"));
    crtXMLData();
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_TRUE(prompt.boxes[0].title.endsWith(QStringLiteral("clsADOConnect.init")));
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(outputFiles().isEmpty());
}
