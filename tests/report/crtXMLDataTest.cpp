#include "report/crtXMLData.h"

#include "db/ExportRow.h"
#include "report/PdfRun.h"
#include "support/PdfRunFixture.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNotCreated = QStringLiteral("PDF-Datei konnte nicht erstellt werden.");

} // namespace

TEST(PdfFileName, NumberGoesBeforeTheLastExtensionOfTheFileName)
{
    const struct
    {
        const char* output;
        qint64 number;
        const char* expected;
    } cases[] = {
        {"C:\\Lohn\\LA2024.pdf", 3, "C:\\Lohn\\LA2024_003.pdf"},
        {"/out/LA", 1, "/out/LA_001"},
        {"/out/LA.html", 2, "/out/LA_002.html"},
        {"/out/LA.2024.pdf", 12, "/out/LA.2024_012.pdf"},
        {"/out.d/LA", 7, "/out.d/LA_007"},
        {"C:\\Out.d\\LA", 7, "C:\\Out.d\\LA_007"},
        {"LA.pdf", 1000, "LA_1000.pdf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(numberedPdfFileName(QString::fromUtf8(c.output), c.number).toStdString(), c.expected);
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
    // The last document is rendered after the last row was read.
    EXPECT_EQ(window.statusTexts.last(),
              QStringLiteral("Datei '") + out("LA_003.pdf") + QStringLiteral("' erstellen ..."));
}

// A company without a name must not take in the rows of the company after it.
TEST_F(PdfRunTest, EachCompanyGetsItsOwnDocument)
{
    const struct
    {
        QString first;
        int firstRows;
        QString second;
        int secondRows;
    } cases[] = {
        {QStringLiteral("A"), 10, QStringLiteral("B"), 5},
        {QString(), 2, QStringLiteral("B"), 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first.toStdString());
        db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
        ASSERT_TRUE(QDir(outDir).removeRecursively() && QDir().mkpath(outDir));
        gOverwriteAsked = false;
        insertCompany(c.first, 1, c.firstRows);
        insertCompany(c.second, c.firstRows + 1, c.secondRows);
        crtXMLData();

        EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf"}));
        EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, c.firstRows));
        EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(c.firstRows + 1, c.firstRows + c.secondRows));
        const QByteArray second = readAll(out("LA_002.pdf"));
        EXPECT_EQ(second.count("<ns2:Company "), 1);
        EXPECT_TRUE(second.contains("<ns2:HR-RC-Name>B</ns2:HR-RC-Name>"));
    }
}

TEST_F(PdfRunTest, ExistingFilesAreAskedAboutOncePerRun)
{
    insertCompany(QStringLiteral("A"), 1, 3);
    insertCompany(QStringLiteral("B"), 4, 3);

    // The question is spent on the first file even when that one did not exist.
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();
    EXPECT_TRUE(prompt.boxes.isEmpty());
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));

    gOverwriteAsked = false;
    writeFile(out("LA_001.pdf"), "old one");
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(prompt.boxes[0].text,
              QStringLiteral("Soll die Datei \"") + out("LA_001.pdf") + QStringLiteral("\" überschrieben werden?"));
    EXPECT_EQ(prompt.boxes[0].style, MsgStyle::OkCancel);
    EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("Datei überschreiben"));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 3));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));

    // Cancel ends the run: the old file stays, nothing is rendered, no temporary file is left.
    gOverwriteAsked = false;
    ASSERT_TRUE(QFile::remove(out("LA_002.pdf")) && QFile::remove(argvFile));
    writeFile(out("LA_001.pdf"), "old one");
    prompt.answers = {MsgAnswer::Cancel};
    crtXMLData();
    EXPECT_EQ(prompt.boxes.size(), 2);
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
        EXPECT_EQ(box.style, MsgStyle::Critical);
        EXPECT_EQ(box.title, QStringLiteral("Fehler"));
    }
    EXPECT_EQ(formatterCalls().size(), 2);
    EXPECT_TRUE(outputFiles().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());

    // Without rows the box comes before the error.
    db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
    EXPECT_EQ(runExpectingError().number(), ErrNo::NoCertificateData);
    EXPECT_EQ(prompt.boxes.size(), 3);
    EXPECT_TRUE(logText().contains(QStringLiteral("SEVERE no PDF written")));
}

// The formatter still renders the empty document for the plain name.
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

// The formatter's command line is split by the Windows rules: the password must come through as one
// argument whatever it holds, and it must never reach the run log.
TEST_F(PdfRunTest, PasswordIsOneArgumentAndTheLogHasOneBlockPerPdfWithoutIt)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    insertCompany(QStringLiteral("B"), 2, 1);
    const QString password = QStringLiteral("ge heim\"\\x\\ Pässwort\\");
    window.passwordChecked = true;
    window.password = password;
    crtXMLData();

    const QList<QStringList> calls = formatterCalls();
    ASSERT_EQ(calls.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QString pdf = out(QStringLiteral("LA_00%1.pdf").arg(i + 1));
        const QString xml = calls[i].value(3);
        EXPECT_EQ(calls[i], (QStringList{"-u", password, "-xml", xml, "-xsl", gXslPath, "-pdf", pdf}));
        EXPECT_TRUE(xml.startsWith(tempDir + QStringLiteral("/tmp"))) << xml.toStdString();
    }

    const QString log = logText();
    EXPECT_FALSE(log.contains(QStringLiteral("ge heim")));
    EXPECT_FALSE(log.contains(QStringLiteral(" -u ")));
    const QString stars = QString(60, u'*');
    EXPECT_FALSE(log.contains(QString(61, u'*')));
    const QStringList blocks = log.split(kCrLf + kCrLf + stars + kCrLf);
    ASSERT_EQ(blocks.size(), 3);
    EXPECT_EQ(blocks[0], QString());
    for (int i = 1; i <= 2; ++i) {
        const QString pdf = out(QStringLiteral("LA_00%1.pdf").arg(i));
        EXPECT_EQ(blocks[i].section(kCrLf, 0, 2),
                  QStringLiteral("Create file ") + pdf + kCrLf + kCrLf + QStringLiteral(" -xml \"") +
                      calls[i - 1].value(3) + QStringLiteral("\" -xsl \"") + gXslPath + QStringLiteral("\" -pdf \"") +
                      pdf + u'"');
        EXPECT_TRUE(blocks[i].contains(QStringLiteral("fake-fop: wrote ") + pdf));
    }
}

TEST_F(PdfRunTest, OneSmallDocumentTakesThePlainNameAndNoPasswordUnlessChecked)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    window.password = QStringLiteral("geheim");
    crtXMLData();
    EXPECT_EQ(outputFiles(), QStringList{"LA.pdf"});
    EXPECT_EQ(window.passwordReads, 0);
    ASSERT_EQ(formatterCalls().size(), 1);
    EXPECT_EQ(formatterCalls()[0].value(0), QStringLiteral("-xml"));
}

TEST_F(PdfRunTest, NullTextFieldEndsTheRunAndLeavesNoTemporaryFile)
{
    QList<ExportRowValues> rows;
    for (int i = 1; i <= 250; ++i)
        rows.append(employeeRow(QStringLiteral("A"), i));
    rows[239][Field::EB0100] = Variant::null();
    insertExportRows(db, rows);

    const LaError e = runExpectingError();
    EXPECT_EQ(e.number(), ErrNo::InvalidUseOfNull);
    EXPECT_TRUE(e.source().startsWith(QStringLiteral("frmMain.crtXMLData\r\nfrmMain.crtXMLBody")))
        << e.source().toStdString();
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
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());
}
