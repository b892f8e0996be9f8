#include "report/crtXMLData.h"

#include "db/ExportRow.h"
#include "platform/Functions.h"
#include "report/PdfRun.h"
#include "report/RunSummary.h"
#include "support/PdfRunFixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kNotCreated = QStringLiteral("PDF-Datei konnte nicht erstellt werden.");

// Processes whose command line (or environment) mentions `text`.
QStringList processesMentioning(const QString& text, const char* what = "cmdline")
{
    QStringList found;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        if (readAll(QStringLiteral("/proc/%1/%2").arg(pid, QLatin1String(what))).contains(text.toUtf8()))
            found << pid;
    return found;
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
    RunSummary summary;
    crtXMLData(summary);

    EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf", "LA_003.pdf"}));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 199));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(200, 399));
    EXPECT_EQ(staffNames(out("LA_003.pdf")), personNames(400, 450));
    ASSERT_EQ(summary.files().size(), 3);
    const qint64 certificates[] = {199, 200, 51};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(summary.files()[i].certificates, certificates[i]);
    EXPECT_EQ(summary.files()[2].companies, QStringList{"Alpha AG"});
    EXPECT_EQ(summary.statusText(),
              QStringLiteral("Fertig: 450 Lohnausweise in 3 PDF-Dateien, ") + out("LA_001.pdf") +
                  QStringLiteral(" … LA_003.pdf"));
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
    const auto expectQuestionAbout = [&](const QString& file) {
        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].text,
                  QStringLiteral("Soll die Datei \"") + out(file) + QStringLiteral("\" überschrieben werden?"));
        EXPECT_EQ(prompt.boxes[0].style, MsgStyle::OkCancel);
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("Datei überschreiben"));
    };

    // The question comes at the first file that exists, whichever number it has.
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();
    expectQuestionAbout(QStringLiteral("LA_002.pdf"));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));

    // OK to the first lets the rest of the run replace files without asking.
    prompt.boxes.clear();
    gOverwriteAsked = false;
    writeFile(out("LA_001.pdf"), "old one");
    writeFile(out("LA_002.pdf"), "old two");
    crtXMLData();
    expectQuestionAbout(QStringLiteral("LA_001.pdf"));
    EXPECT_EQ(staffNames(out("LA_001.pdf")), personNames(1, 3));
    EXPECT_EQ(staffNames(out("LA_002.pdf")), personNames(4, 6));

    // Cancel ends the run: what stands at the name stays (a link that leads nowhere is asked about as a
    // file is), nothing is rendered, no temporary file is left.
    prompt.boxes.clear();
    gOverwriteAsked = false;
    ASSERT_TRUE(QFile::remove(out("LA_002.pdf")) && QFile::remove(argvFile) && QFile::remove(out("LA_001.pdf")));
    ASSERT_TRUE(QFile::link(out("fehlt.pdf"), out("LA_001.pdf")));
    prompt.answers = {MsgAnswer::Cancel};
    crtXMLData();
    expectQuestionAbout(QStringLiteral("LA_001.pdf"));
    EXPECT_EQ(QFileInfo(out("LA_001.pdf")).symLinkTarget(), out("fehlt.pdf"));
    EXPECT_EQ(QDir(outDir).entryList(QDir::Files | QDir::System | QDir::Hidden), QStringList{"LA_001.pdf"});
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
}

// Whatever way the formatter fails for the first document, the previous file under its name stays byte
// for byte, the box says which file, why and where the log is, and the run goes on with the next document.
TEST_F(PdfRunTest, FailedRenderingKeepsThePreviousFileIsReportedAndTheRunGoesOn)
{
    insertCompany(QStringLiteral("A"), 1, 2);
    insertCompany(QStringLiteral("B"), 3, 2);
    // The last two: a formatter that takes longer than FopTimeout, and a name far too long for any box.
    const struct
    {
        const char* fail;
        const char* reason;
        const char* change = nullptr;
    } cases[] = {
        {"none", "fake-fop: SEVERE no PDF written; Exitstatus 1"},
        {"exit3", "Exitstatus 3"},
        {"partial", "Die Datei ist kein vollständiges PDF"},
        {"crash", "Exitstatus 137"},
        {"empty", "Die Datei ist kein vollständiges PDF"},
        {"slow",
         "Der Formatierer hat das Zeitlimit von 5 Sekunden (Einstellung FopTimeout) überschritten und wurde beendet; "
         "Exitstatus 137"},
        {"",
         "Ein Text des Dokuments ist 1000000 Zeichen lang (höchstens 10000), er beginnt mit "
         "'abababababababababababababababababababab…'; das Dokument wurde dem Formatierer nicht übergeben",
         "UPDATE LGHLAEXP SET EFLDH1 = replace(hex(zeroblob(500000)), '00', 'ab') WHERE EFLDI2 = 'A'"},
    };
    qputenv("FAKE_FOP_FAIL_ON", "Person 00001");
    qputenv("FAKE_FOP_SLEEP_ON", "Person 00001");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fail);
        writeFile(out("LA_001.pdf"), "old one");
        prompt.boxes.clear();
        gOverwriteAsked = true;
        qputenv("FAKE_FOP_FAIL", c.fail);
        const bool slow = QByteArray(c.fail) == "slow";
        qputenv("FAKE_FOP_SLEEP", slow ? "60" : "0");
        // Long enough for the other document on a busy machine.
        clsRegistryHandler().SaveSettingLong(QStringLiteral("FopTimeout"), slow ? 5 : 0);
        if (c.change)
            db.exec(QString::fromUtf8(c.change));
        RunSummary summary;
        crtXMLData(summary);

        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].text,
                  kNotCreated + kCrLf + QStringLiteral("Datei: ") + out("LA_001.pdf") + kCrLf +
                      QStringLiteral("Grund: ") + QString::fromUtf8(c.reason) + kCrLf + QStringLiteral("Protokoll: ") +
                      logFile);
        EXPECT_EQ(prompt.boxes[0].style, MsgStyle::Critical);
        EXPECT_EQ(prompt.boxes[0].title, QStringLiteral("Fehler"));
        EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf"}));
        EXPECT_EQ(readAll(out("LA_001.pdf")), QByteArray("old one"));
        ASSERT_EQ(summary.files().size(), 1);
        EXPECT_EQ(summary.files()[0].path, out("LA_002.pdf"));
        EXPECT_TRUE(temporaryFiles().isEmpty());
    }
    EXPECT_EQ(formatterCalls().size(), 13); // not the refused document
}

// Files per employee come from splitting the rendered document: one that cannot be split (the test
// formatter writes no real PDF) gives none of its files but one box naming its folder, and the run goes on.
TEST_F(PdfRunTest, ADocumentThatCannotBeSplitGivesNoFileOfItsEmployees)
{
    insertCompany(QStringLiteral("A"), 1, 2);
    insertCompany(QStringLiteral("B"), 3, 1);
    window.perEmployee = true;
    RunSummary summary;
    crtXMLData(summary);

    ASSERT_EQ(prompt.boxes.size(), 2);
    for (const QString& company : {QStringLiteral("A"), QStringLiteral("B")}) {
        const QString& text = prompt.boxes[company == u'A' ? 0 : 1].text;
        EXPECT_TRUE(text.startsWith(kNotCreated + kCrLf + QStringLiteral("Datei: ") + out(company + u'/')) &&
                    text.contains(QStringLiteral("lässt sich nicht in einzelne Lohnausweise teilen")))
            << text.toStdString();
    }
    EXPECT_EQ(formatterCalls().size(), 2);
    EXPECT_TRUE(summary.isEmpty());
    EXPECT_TRUE(outputFiles().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

// Without rows, or without the formatter or its style sheet, nothing is asked, deleted or rendered:
// one error, found out before the first document.
TEST_F(PdfRunTest, ErrorsFoundBeforeAnyFileIsTouched)
{
    writeFile(out("LA.pdf"), "old");
    const QString missing = work.filePath(QStringLiteral("fehlt/fop"));
    const QString settings = QStringLiteral("\r\nEinstellungsdatei: ") + clsRegistryHandler::storeFilePath();
    const struct
    {
        int rows;
        QString fop;
        QString xsl;
        int error;
        QString source;
        QString description;
    } cases[] = {
        {0,
         gFopPath,
         gXslPath,
         ErrNo::NoCertificateData,
         QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis"),
         QStringLiteral("Es wurden keine Lohnausweisdaten zum importieren gefunden!")},
        {3,
         missing,
         gXslPath,
         ErrNo::PathNotFoundOwn,
         QStringLiteral("frmMain"),
         QStringLiteral("Pfad für '%1' nicht gefunden.\r\nEinstellung FOP, gesucht als: %1").arg(missing) + settings},
        {3,
         gFopPath,
         QStringLiteral("./fehlt.xsl"),
         ErrNo::PathNotFoundOwn,
         QStringLiteral("frmMain"),
         QStringLiteral("Pfad für './fehlt.xsl' nicht gefunden.\r\nEinstellung XSL, gesucht als: %1, %2")
                 .arg(gAppPath + QStringLiteral("/fehlt.xsl"),
                      installedDataDirectory() + QStringLiteral("/fehlt.xsl")) +
             settings},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description.toStdString());
        db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
        insertCompany(QStringLiteral("A"), 1, c.rows);
        gFopPath = c.fop;
        gXslPath = c.xsl;
        const LaError e = runExpectingError();
        EXPECT_EQ(e.number(), c.error);
        EXPECT_EQ(e.source(), QStringLiteral("frmMain.crtXMLData\r\n") + c.source);
        EXPECT_EQ(e.description(), c.description);
        EXPECT_TRUE(formatterCalls().isEmpty());
        EXPECT_TRUE(prompt.boxes.isEmpty());
        EXPECT_EQ(readAll(out("LA.pdf")), QByteArray("old"));
        EXPECT_TRUE(temporaryFiles().isEmpty());
    }
}

// The password never stands on a command line or in an environment, where every user of the machine
// could read it while the formatter renders, nor in the run log. Whatever it holds (blanks, quotes, a
// leading "-" that a program would take for an option), the PDF opens with it and only with it.
TEST_F(PdfRunTest, PasswordProtectsThePdfAndReachesNoCommandLineAndNoLog)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    insertCompany(QStringLiteral("B"), 2, 1);
    qputenv("FAKE_FOP_SLEEP", "0.3");
    window.passwordChecked = true;
    for (const QString& password : {QStringLiteral("ge heim\"\\x\\ Pässwort\\"), QStringLiteral("-noprint")}) {
        SCOPED_TRACE(password.toStdString());
        window.password = password;
        QFile::remove(argvFile);
        gOverwriteAsked = true;
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logFile, 0);
        // The formatter's processes are those that inherited the test's FAKE_FOP_ARGV.
        int looks = 0;
        QStringList seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (const QString& pid : processesMentioning(argvFile, "environ")) {
                ++looks;
                for (const char* what : {"cmdline", "environ"})
                    if (readAll(QStringLiteral("/proc/%1/%2").arg(pid, what)).contains(password.toUtf8()))
                        seen << pid + u'/' + QLatin1String(what);
            }
        });
        watch.start(20);
        crtXMLData();
        watch.stop();
        EXPECT_GT(looks, 0);
        EXPECT_EQ(seen, QStringList());

        const QList<QStringList> calls = formatterCalls();
        ASSERT_EQ(calls.size(), 2);
        const QString log = logText();
        EXPECT_FALSE(log.contains(password));
        const QStringList blocks = log.split(kCrLf + kCrLf + QString(60, u'*') + kCrLf);
        ASSERT_EQ(blocks.size(), 3);
        for (int i = 0; i < 2; ++i) {
            const QString pdf = out(QStringLiteral("LA_00%1.pdf").arg(i + 1));
            const QString xml = calls[i].value(1);
            const QString rendered = calls[i].value(5);
            EXPECT_EQ(calls[i], (QStringList{"-xml", xml, "-xsl", gXslPath, "-pdf", rendered}));
            EXPECT_TRUE(xml.startsWith(tempDir + QStringLiteral("/tmp"))) << xml.toStdString();
            EXPECT_TRUE(rendered.startsWith(tempDir + QStringLiteral("/pdf"))) << rendered.toStdString();
            EXPECT_EQ(blocks[i + 1].section(kCrLf, 0, 2),
                      QStringLiteral("Create file ") + pdf + kCrLf + kCrLf + QStringLiteral(" -xml \"") + xml +
                          QStringLiteral("\" -xsl \"") + gXslPath + QStringLiteral("\" -pdf \"") + rendered + u'"');
            EXPECT_EQ(QProcess::execute(QStringLiteral("qpdf"), {QStringLiteral("--requires-password"), pdf}), 0);
            const QString plain = work.filePath(QStringLiteral("plain.pdf"));
            EXPECT_EQ(
                QProcess::execute(QStringLiteral("qpdf"),
                                  {"--password=" + password, "--decrypt", "--stream-data=uncompress", pdf, plain}),
                0);
            EXPECT_EQ(staffNames(plain), personNames(i + 1, i + 1));
        }
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
    // As the formatter wrote it (an archive PDF must not be rewritten), owner-only.
    EXPECT_TRUE(readAll(out("LA.pdf")).startsWith("%PDF-1.4\n1 0 obj\n"));
    EXPECT_EQ(QFile::permissions(out("LA.pdf")) & 0x0fff, QFile::ReadUser | QFile::WriteUser);
}

// A field error names the field and the employee.
TEST_F(PdfRunTest, FaultyFieldEndsTheRunNamingFieldAndEmployee)
{
    const struct
    {
        const char* field;
        Variant value;
        const char* description;
        int error;
        const char* writer;
        QStringList files;
    } cases[] = {
        {"EB0100",
         Variant::null(),
         "Feld EB0100 von 'Person 00240': kein Wert (Null).",
         ErrNo::InvalidUseOfNull,
         "crtXMLBody",
         {"LA_001.pdf"}},
        {"EB0900",
         Variant::text(QStringLiteral("12a")),
         "Feld EB0900 von 'Person 00240': keine Zahl ('12a').",
         ErrNo::TypeMismatch,
         "crtXMLBody",
         {"LA_001.pdf"}},
        {"EB1200",
         Variant::floating(-std::numeric_limits<double>::infinity()),
         "Feld EB1200 von 'Person 00240': Überlauf.",
         ErrNo::Overflow,
         "crtXMLBody",
         {"LA_001.pdf"}},
        // The database sorts the row without a company first.
        {"EFLDI2",
         Variant::null(),
         "Feld EFLDI2 von 'Person 00240': kein Wert (Null).",
         ErrNo::InvalidUseOfNull,
         "crtXMLHeader",
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
        ASSERT_TRUE(QDir(outDir).removeRecursively() && QDir().mkpath(outDir));
        QList<ExportRowValues> rows;
        for (int i = 1; i <= 250; ++i)
            rows.append(employeeRow(QStringLiteral("A"), i));
        rows[239][QString::fromLatin1(c.field)] = c.value;
        insertExportRows(db, rows);

        const LaError e = runExpectingError();
        EXPECT_EQ(e.number(), c.error);
        EXPECT_EQ(e.description(), QString::fromUtf8(c.description));
        EXPECT_TRUE(
            e.source().startsWith(QStringLiteral("frmMain.crtXMLData\r\nfrmMain.") + QString::fromLatin1(c.writer)))
            << e.source().toStdString();
        EXPECT_EQ(outputFiles(), c.files);
        EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
    }
}

TEST_F(PdfRunTest, FolderAtThePdfNameIsNeverDeleted)
{
    insertCompany(QStringLiteral("A"), 1, 1);
    ASSERT_TRUE(QDir(outDir).mkpath(QStringLiteral("LA.pdf")));
    const LaError e = runExpectingError();

    EXPECT_EQ(e.number(), ErrNo::PathFileAccess);
    EXPECT_TRUE(e.description().contains(QStringLiteral("\"") + out("LA.pdf") + QStringLiteral("\" steht ein Ordner")))
        << e.description().toStdString();
    EXPECT_TRUE(QFileInfo(out("LA.pdf")).isDir());
    EXPECT_TRUE(prompt.boxes.isEmpty());
    EXPECT_TRUE(formatterCalls().isEmpty());
    EXPECT_TRUE(temporaryFiles().isEmpty());
}

namespace {

// Remembers how many files were done when the overwrite question came.
class ProgressAtQuestion : public RecordingPrompt
{
public:
    explicit ProgressAtQuestion(const FakeMainWindow& window)
        : m_window(window)
    {
    }
    int messageBox(const QString& text, int style, const QString& title) override
    {
        if (style == MsgStyle::OkCancel)
            progress = m_window.fileProgress.value(m_window.fileProgress.size() - 1);
        return RecordingPrompt::messageBox(text, style, title);
    }
    QString progress;

private:
    const FakeMainWindow& m_window;
};

} // namespace

// With several formatter jobs everything the user sees comes as with one: files, log blocks, boxes and
// the overwrite question in document order. The first document renders slowest, the third fails, the
// fourth replaces a file.
TEST_F(PdfRunTest, SideBySideJobsKeepTheDocumentOrder)
{
    for (const char* company : {"A", "B", "C", "D", "E"})
        insertCompany(QString::fromLatin1(company), int(company[0] - 'A') * 2 + 1, 2);
    qputenv("FAKE_FOP_SLEEP", "0.5");
    qputenv("FAKE_FOP_SLEEP_ON", "Person 00001");
    qputenv("FAKE_FOP_FAIL", "none");
    qputenv("FAKE_FOP_FAIL_ON", "Person 00005");
    const struct
    {
        int jobs;
        QStringList firstProgress; // one job: each call ends before the next starts
    } cases[] = {
        {1, {"0/1", "1/1", "1/2", "2/2", "2/3", "3/3", "3/4"}},
        {4, {"0/1", "0/2", "0/3"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.jobs);
        setFopJobs(c.jobs);
        ASSERT_TRUE(QDir(outDir).removeRecursively() && QDir().mkpath(outDir));
        writeFile(out("LA_004.pdf"), "old four");
        QFile::remove(argvFile);
        window.fileProgress.clear();
        gOverwriteAsked = false;
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logFile, 0);
        ProgressAtQuestion asking(window);
        const ScopedPrompt scoped(asking);
        RunSummary summary;
        crtXMLData(summary);

        EXPECT_EQ(outputFiles(), (QStringList{"LA_001.pdf", "LA_002.pdf", "LA_004.pdf", "LA_005.pdf"}));
        EXPECT_EQ(staffNames(out("LA_004.pdf")), personNames(7, 8));
        ASSERT_EQ(asking.boxes.size(), 2);
        EXPECT_TRUE(
            asking.boxes[0].text.startsWith(kNotCreated + kCrLf + QStringLiteral("Datei: ") + out("LA_003.pdf")));
        EXPECT_TRUE(asking.boxes[1].text.contains(out("LA_004.pdf")));
        EXPECT_EQ(asking.progress, QStringLiteral("3/3")); // no formatter runs while the question is open
        EXPECT_EQ(window.fileProgress.mid(0, c.firstProgress.size()), c.firstProgress);
        EXPECT_EQ(window.fileProgress.last(), QStringLiteral("5/5"));
        EXPECT_EQ(summary.files().value(2).path, out("LA_004.pdf"));
        const QStringList blocks = logText().split(QString(60, u'*') + kCrLf + QStringLiteral("Create file "));
        ASSERT_EQ(blocks.size(), 6);
        for (int i = 1; i <= 5; ++i)
            EXPECT_TRUE(blocks[i].startsWith(out(QStringLiteral("LA_00%1.pdf").arg(i)) + kCrLf)) << i;
        EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
    }
}

// An error of the run, or a cancel, while formatters still render ends them: their half-written PDFs
// and all temporary documents go, no formatter runs on, and the earlier PDF under a name stays.
TEST_F(PdfRunTest, ErrorOrCancelWhileJobsRunEndsThem)
{
    setFopJobs(4);
    qputenv("FAKE_FOP_SLEEP", "60");
    const struct
    {
        bool cancel;
        int error;
    } cases[] = {{false, ErrNo::InvalidUseOfNull}, {true, ErrNo::UserInterrupt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cancel);
        db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));
        QList<ExportRowValues> rows;
        for (int i = 1; i <= 450; ++i)
            rows.append(employeeRow(QStringLiteral("A"), i));
        if (!c.cancel)
            rows[419][QStringLiteral("EB0100")] = Variant::null(); // in the third document
        insertExportRows(db, rows);
        window.cancel.reset();
        writeFile(out("LA_002.pdf"), "old two");
        gOverwriteAsked = true;
        // The request comes with the first wait for a formatter: the last document's.
        if (c.cancel)
            QTimer::singleShot(0, &window.cancel, &RunCancel::request);

        const LaError e = runExpectingError();
        EXPECT_EQ(e.number(), c.error);
        EXPECT_EQ(outputFiles(), QStringList{"LA_002.pdf"});
        EXPECT_EQ(readAll(out("LA_002.pdf")), QByteArray("old two"));
        EXPECT_TRUE(temporaryFiles().isEmpty()) << temporaryFiles().join(u' ').toStdString();
        EXPECT_EQ(processesMentioning(tempDir), QStringList());
        EXPECT_TRUE(prompt.boxes.isEmpty());
    }
}
