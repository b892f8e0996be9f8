#include "app/Globals.h"
#include "report/PlausibilityCheck.h"
#include "report/RunSelection.h"
#include "report/TextStream.h"
#include "report/crtCSVData.h"
#include "support/CheckBeforeRunSetting.h"
#include "support/CsvPayroll.h"
#include "support/FakeMainWindow.h"
#include "support/MariaDbServer.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"
#include "support/TmpfsMount.h"

#include <QTemporaryDir>
#include <optional>

namespace {

class CsvExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        setCheckBeforeRun(false);
        window.toFile = dir.filePath(QStringLiteral("lohnausweis.csv"));
        gFrmMain = &window;
    }
    void TearDown() override { gFrmMain = nullptr; }

    // A fresh SQLite payroll with the rows of the expected file, changed by `statements`.
    void useChangedPayroll(const QString& statements)
    {
        sqlite = std::make_unique<SqliteTestDatabase>();
        fillPayroll(*sqlite);
        for (const QString& s : statements.split(u'\n'))
            sqlite->exec(s);
        window.medium = 1;
        window.srcFile = sqlite->path();
        window.lib = sqlite->library();
    }

    // Runs the export over an older file of that name; the error it ends with, if any.
    std::optional<LaError> run()
    {
        writeBytes(window.toFile, "alte Daten");
        gOverwriteAsked = false;
        try {
            crtCSVData();
            return std::nullopt;
        } catch (const LaError& e) {
            return e;
        }
    }

    QByteArray output() const
    {
        // Nothing of a run is left beside the file, also not after a failure.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"lohnausweis.csv"});
        return readBytes(window.toFile);
    }

    void expectOverwriteQuestion(const RecordingPrompt::Box& box) const
    {
        EXPECT_EQ(box.text,
                  QStringLiteral("Soll die Datei \"") + window.toFile + QStringLiteral("\" überschrieben werden?"));
        EXPECT_EQ(box.style, MsgStyle::OkCancel);
        EXPECT_EQ(box.title, QStringLiteral("Datei überschreiben"));
    }

    QTemporaryDir dir;
    // Settings of the test's own, not the user's.
    const ScopedEnv store{"XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config"))};
    std::unique_ptr<SqliteTestDatabase> sqlite;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
};

// The same rows through each back end: the host's types (padded CHAR, DECIMAL, DATE) on MariaDB over
// ODBC, the embedded file with the OLE DB form of the connection string.
class CsvExportBackEnd : public CsvExportTest, public ::testing::WithParamInterface<TestDatabaseKind>
{
};

} // namespace

TEST_P(CsvExportBackEnd, WritesTheExpectedFileByteForByte)
{
    QString whyNot;
    const std::unique_ptr<TestDatabase> db = openTestDatabase(GetParam(), &whyNot);
    if (!db) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << qPrintable(whyNot);
        GTEST_SKIP() << qPrintable(whyNot);
    }
    fillPayroll(*db);
    window.lib = db->library();
    const bool odbc = GetParam() == TestDatabaseKind::MariaDb;
    if (odbc) {
        window.medium = 0;
        window.srcFile = MariaDbServer::dsn();
        prompt.loginUser = MariaDbServer::user();
        prompt.loginPassword = MariaDbServer::password();
    } else {
        window.medium = 1;
        window.srcFile = static_cast<SqliteTestDatabase&>(*db).path();
    }

    const auto error = run();
    ASSERT_FALSE(error) << error->number() << " " << qPrintable(error->description());
    ASSERT_EQ(prompt.boxes.size(), 1) << qPrintable(prompt.boxes.value(1).text);
    expectOverwriteQuestion(prompt.boxes[0]);
    EXPECT_EQ(output(), readBytes(testDataFile(odbc ? "csv_export_mariadb.csv" : "csv_export_sqlite.csv")));
    EXPECT_EQ(QFile::permissions(window.toFile) & (QFile::WriteOther | QFile::ReadOwner), QFile::ReadOwner);
    // The login is asked once per run, for the connection every reader of the run shares.
    EXPECT_EQ(prompt.loginCount, odbc ? 1 : 0);
    EXPECT_EQ(window.statusTexts.last(), QStringLiteral("Datensatz lesen: 9"));
}

INSTANTIATE_TEST_SUITE_P(BackEnds, CsvExportBackEnd, ::testing::ValuesIn(allTestDatabaseKinds()), [](const auto& info) {
    return testDatabaseKindName(info.param);
});

// Faulty rows end the run with an error that names the field and the employee; the previous file stays
// byte for byte, also when the last row fails. No rows fail before the file is asked about.
TEST_F(CsvExportTest, FaultyValuesEndTheRunAndKeepThePreviousFile)
{
    const struct
    {
        const char* fault;
        int error;
        const char* description;
    } cases[] = {
        {"DELETE FROM LGHLAEXP",
         ErrNo::NoCertificateData,
         "Es wurden keine Lohnausweisdaten zum importieren gefunden!"},
        {"UPDATE LGHLAEXP SET EFLDH1 = NULL WHERE EFLDH1 = 'Huber Hans Peter'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDH1 von Datensatz 2: kein Wert (Null)."}, // sorts first in its company
        {"UPDATE LGHLAEXP SET EFLDE1 = 'abc' WHERE EFLDH1 = 'D''Amico Luca'",
         ErrNo::TypeMismatch,
         "Feld EFLDE1 von 'D'Amico Luca': kein gültiges Datum ('abc')."},
        {"UPDATE LGHLAEXP SET EB0300 = 9e999 WHERE EFLDH1 = 'D''Amico Luca'", // infinity
         ErrNo::Overflow,
         "Feld EB0300 von 'D'Amico Luca': Überlauf."},
        {"UPDATE LGHLAEXP SET EFLDE2 = NULL WHERE EFLDH1 = 'Müller Jörg'", // the last row
         ErrNo::InvalidUseOfNull,
         "Feld EFLDE2 von 'Müller Jörg': kein gültiges Datum (Null)."},
        {"UPDATE LGHLAZ SET LHFINR = 'abc' WHERE LHFIN1 = 'Beta GmbH'",
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Beta GmbH': keine Zahl ('abc')."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        prompt.boxes.clear();
        useChangedPayroll(QString::fromUtf8(c.fault));
        const auto error = run();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), c.error);
        EXPECT_EQ(error->description(), QString::fromUtf8(c.description));
        EXPECT_EQ(error->source().section(QStringLiteral("\r\n"), 0, 0), QStringLiteral("frmMain.crtXMLData"));
        EXPECT_EQ(output(), QByteArray("alte Daten"));
        EXPECT_EQ(prompt.boxes.size(), c.error == ErrNo::NoCertificateData ? 0 : 1);
    }
}

// A table that cannot be read ends the run after the reader's own box; the previous file stays. So it
// does when the overwrite question is answered with Cancel.
TEST_F(CsvExportTest, UnreadableTableOrCancelKeepsThePreviousFile)
{
    for (const char* table : {"LGHLAEXP", "LGHLAZ", "LGHPS", ""}) {
        SCOPED_TRACE(table);
        useChangedPayroll(*table ? QStringLiteral("DROP TABLE ") + QString::fromLatin1(table)
                                 : QStringLiteral("UPDATE LGHLAEXP SET EFLDD = EFLDD"));
        prompt.boxes.clear();
        prompt.answers = {*table ? MsgAnswer::Ok : MsgAnswer::Cancel};
        EXPECT_FALSE(run());
        ASSERT_FALSE(prompt.boxes.isEmpty());
        if (*table)
            EXPECT_EQ(prompt.boxes.last().title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        else
            expectOverwriteQuestion(prompt.boxes.last());
        EXPECT_EQ(output(), QByteArray("alte Daten"));
    }
}

// A cancel request is taken up at the next row: the export keeps the previous file, the check stops.
TEST_F(CsvExportTest, ACancelEndsTheExportAndTheCheckAtTheNextRow)
{
    useChangedPayroll(QStringLiteral("UPDATE LGHLAEXP SET EFLDD = EFLDD"));
    window.onStatusText = [this](const QString& text) {
        if (text == QLatin1String("Datensatz lesen: 2"))
            window.cancel.request();
    };
    const auto error = run();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), ErrNo::UserInterrupt);
    EXPECT_EQ(window.statusTexts.last(), QStringLiteral("Datensatz lesen: 2"));
    EXPECT_EQ(output(), QByteArray("alte Daten"));

    window.cancel.reset();
    PlausibilityCheck check;
    const LaError stopped = raisedBy(
        [&] { check.run(1, window.srcFile, window.lib, RunSelection(), [&](qint64) { window.cancel.request(); }); });
    EXPECT_EQ(stopped.number(), ErrNo::UserInterrupt);
    EXPECT_EQ(check.result().rowCount(), 1);
}

// Control characters of host texts (an escape sequence, a tab) reach the import file as blanks.
TEST_F(CsvExportTest, ControlCharactersOfHostTextsBecomeBlanks)
{
    useChangedPayroll(
        QStringLiteral("UPDATE LGHLAEXP SET EFLDH2 = 'c/o' || char(27) || '[2K' || char(9) || char(1) || 'x'"));
    EXPECT_FALSE(run());
    QByteArray bytes = output();
    EXPECT_TRUE(bytes.contains("c/o [2K  x")) << bytes.toStdString();
    bytes.replace("\r\n", "");
    EXPECT_FALSE(std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x20; }));
}

// On a full disk the import file's message names the file, not the descriptor it is written through,
// and a document for the formatter says that the disk is full.
TEST_F(CsvExportTest, AFullDiskIsNamedAsSuch)
{
    const TmpfsMount disk(dir.filePath(QStringLiteral("voll")), 256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "Ein tmpfs kann nur root einhängen.";
    useChangedPayroll(QStringLiteral("UPDATE LGHLAEXP SET EFLDD = EFLDD"));
    window.toFile = dir.filePath(QStringLiteral("voll/LA.csv"));
    writeBytes(window.toFile, "alte Daten");
    disk.fill();
    const LaError full = raisedBy([] { crtCSVData(); });
    EXPECT_EQ(full.number(), ErrNo::DiskFull);
    EXPECT_EQ(full.description(), QStringLiteral("Datenträger voll: ") + window.toFile);
    EXPECT_EQ(readBytes(window.toFile), QByteArray("alte Daten"));

    TextStream document;
    document.WriteText(QString(100000, u'x'));
    const QString temporary = dir.filePath(QStringLiteral("voll/tmpABCDEF.tmp"));
    EXPECT_EQ(
        raisedBy([&] { document.saveToFile(temporary); }).description(),
        QStringLiteral("Datei '%1' konnte nicht vollständig geschrieben werden: Datenträger voll").arg(temporary));
}
