#include "app/Globals.h"
#include "report/crtCSVData.h"
#include "support/CsvPayroll.h"
#include "support/FakeMainWindow.h"
#include "support/MariaDbServer.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <optional>

namespace {

class CsvExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
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
        try {
            crtCSVData();
            return std::nullopt;
        } catch (const LaError& e) {
            return e;
        }
    }

    QByteArray output() const { return readBytes(window.toFile); }

    QTemporaryDir dir;
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
    EXPECT_TRUE(prompt.boxes.isEmpty()) << qPrintable(prompt.boxes.value(0).text);
    EXPECT_EQ(output(), readBytes(testDataFile(odbc ? "csv_export_mariadb.csv" : "csv_export_sqlite.csv")));
    // The login is asked once per run, for the connection every reader of the run shares.
    EXPECT_EQ(prompt.loginCount, odbc ? 1 : 0);
    EXPECT_EQ(window.statusTexts.last(), QStringLiteral("Datensatz lesen: 9"));
}

INSTANTIATE_TEST_SUITE_P(BackEnds, CsvExportBackEnd, ::testing::ValuesIn(allTestDatabaseKinds()), [](const auto& info) {
    return testDatabaseKindName(info.param);
});

// Faulty rows end the run with an error that names the field and the employee; the lines written
// before the faulty one stay in the file. No rows at all leave an empty file.
TEST_F(CsvExportTest, FaultyValuesEndTheRunAndKeepTheLinesBefore)
{
    const struct
    {
        const char* fault;
        int error;
        const char* description;
        int linesKept;
    } cases[] = {
        {"DELETE FROM LGHLAEXP",
         ErrNo::NoCertificateData,
         "Es wurden keine Lohnausweisdaten zum importieren gefunden!",
         0},
        {"UPDATE LGHLAEXP SET EFLDH1 = NULL WHERE EFLDH1 = 'Huber Hans Peter'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDH1 von Datensatz 2: kein Wert (Null).", // sorts first in its company
         3},
        {"UPDATE LGHLAEXP SET EFLDE1 = 'abc' WHERE EFLDH1 = 'D''Amico Luca'",
         ErrNo::TypeMismatch,
         "Feld EFLDE1 von 'D'Amico Luca': kein gültiges Datum ('abc').",
         6},
        {"UPDATE LGHLAEXP SET EFLDE2 = NULL WHERE EFLDH1 = 'Nef Beat'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDE2 von 'Nef Beat': kein gültiges Datum (Null).",
         16},
        {"UPDATE LGHLAZ SET LHFINR = 'abc' WHERE LHFIN1 = 'Beta GmbH'",
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Beta GmbH': keine Zahl ('abc').",
         12},
    };
    const QList<QByteArray> lines = readBytes(testDataFile("csv_export_sqlite.csv")).split('\r');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        useChangedPayroll(QString::fromUtf8(c.fault));
        const auto error = run();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), c.error);
        EXPECT_EQ(error->description(), QString::fromUtf8(c.description));
        EXPECT_EQ(error->source().section(QStringLiteral("\r\n"), 0, 0), QStringLiteral("frmMain.crtXMLData"));
        EXPECT_EQ(output(), lines.mid(0, c.linesKept).join('\r'));
    }
    EXPECT_TRUE(prompt.boxes.isEmpty());
}

// A table that cannot be read ends the run after the reader's own box. Without the export table the
// output file is not touched; without a lookup table the lines written before stay.
TEST_F(CsvExportTest, UnreadableTableShowsTheReadersBoxAndKeepsWhatWasWritten)
{
    const QByteArray expected = readBytes(testDataFile("csv_export_sqlite.csv"));
    const qsizetype alpha = expected.indexOf("1;Alpha AG");
    const struct
    {
        const char* table;
        QByteArray output;
    } cases[] = {
        {"LGHLAEXP", "alte Daten"},
        {"LGHLAZ", ""},
        {"LGHPS", expected.mid(alpha, expected.indexOf("\r\n2;;756.6666") - alpha)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        // Without the row of the company without a name, a company line comes first.
        useChangedPayroll(QStringLiteral("DELETE FROM LGHLAEXP WHERE EFLDI2 = ''\nDROP TABLE ") +
                          QString::fromLatin1(c.table));
        prompt.boxes.clear();
        EXPECT_FALSE(run());
        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_EQ(output(), c.output);
    }
}
