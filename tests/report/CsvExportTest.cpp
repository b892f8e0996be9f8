#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "report/crtCSVData.h"
#include "support/FakeMainWindow.h"
#include "support/MariaDbServer.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

namespace {

using PayrollTables::Row;

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

Variant amount(const char* digits)
{
    return Variant::decimal(QString::fromLatin1(digits));
}

// A certificate row with the values most rows share; `changes` replaces or adds fields.
Row exportRow(const Row& changes)
{
    Row row = {
        {Field::EFLDA, t("X")},
        {Field::EFLDB, t("")},
        {Field::EFLDD, t("2013")},
        {Field::EFLDE1, Variant::date(QDate(2013, 1, 1))},
        {Field::EFLDE2, Variant::date(QDate(2013, 12, 31))},
        {Field::EFLDF, t("X")},
        {Field::EFLDG, t("")},
        {Field::EFLDH2, t("")},
        {Field::EFLDH4, t("")},
        {Field::EB0100, amount("60000.00")},
        {Field::EB0210, amount("0.00")},
        {Field::EB0900, amount("3180.50")},
        {Field::EB1010, amount("2400.00")},
    };
    for (const auto& change : changes) {
        auto it = std::find_if(row.begin(), row.end(), [&](const auto& f) { return f.first == change.first; });
        if (it != row.end())
            it->second = change.second;
        else
            row.append(change);
    }
    return row;
}

Row company(const char* name, const char* street, const char* place, const char* contact, const char* phone)
{
    return {{Field::EFLDI2, t(name)},
            {Field::EFLDI3, t(street)},
            {Field::EFLDI4, t(place)},
            {Field::EFLDI5, t(contact)},
            {Field::EFLDI6, t(phone)}};
}

Row person(const char* c1,
           const char* c2,
           const char* birth,
           const char* name,
           const char* street,
           const char* postcode,
           const char* town)
{
    return {{Field::EFLDC1, t(c1)},
            {Field::EFLDC2, t(c2)},
            {Field::EGEBDT, t(birth)},
            {Field::EFLDH1, t(name)},
            {Field::EFLDH3, t(street)},
            {Field::EFLDH5, t(postcode)},
            {Field::EFLDH6, t(town)}};
}

const Row kAlpha = company("Alpha AG", "Industriestrasse 5", "8000 Zürich", "Muster Hans Peter", "044 123 45 67");
const Row kBeta = company("Beta GmbH", "Seeweg 2", "6000 Luzern", "Meier", "041 000 00 00");
const Row kUeber = company("Über Bau AG", "Rämistrasse 1", "8001 Zürich", "Jörg Müller", "044 000 00 00");
const Row kAnna =
    person("333.33.333.333", "756.3333.3333.33", "03.03.1973", "Muster Anna", "Bahnhofstrasse 1", "8001", "Zürich") +
    Row{{Field::EFLDH4, t("Postfach 12")}};

// The rows of the expected file, inserted out of order: sorting is the database's job.
void fillPayroll(TestDatabase& db)
{
    PayrollTables::createAll(db);
    // One transaction: the file is written once instead of once per row.
    db.exec(QStringLiteral("BEGIN"));
    const QString exp = QStringLiteral("LGHLAEXP");
    PayrollTables::insert(db, exp, exportRow(kBeta + kAnna));
    PayrollTables::insert(db,
                          exp,
                          exportRow(kAlpha +
                                    person("555.55.555.555",
                                           "756.5555.5555.55",
                                           "05.05.1955",
                                           "Muster Hans Peter",
                                           "Seestrasse 5",
                                           "8000",
                                           "Zürich") +
                                    Row{{Field::EFLDH2, t("c/o Meier")},
                                        {Field::EFLDA, t("")},
                                        {Field::EFLDB, t("X")},
                                        {Field::EFLDF, t("")},
                                        {Field::EFLDG, t("X")},
                                        {Field::ET1311, t("X")},
                                        {Field::ET1410, t("abc")},
                                        {Field::ET1420, t("")},
                                        {Field::ET1510, t("Zeile 1")},
                                        {Field::ET1520, t("Zeile 2")}}));
    PayrollTables::insert(db, exp, exportRow(kAlpha + kAnna));
    PayrollTables::insert(
        db,
        exp,
        exportRow(
            company("", "", "", "", "") +
            person("111.11.111.111", "756.1111.1111.11", "01.02.1970", "Leer Otto", "Hauptstrasse 9", "3000", "Bern")));
    PayrollTables::insert(db, exp, exportRow(kAlpha + kAnna));
    PayrollTables::insert(
        db,
        exp,
        exportRow(
            kUeber +
            person(
                "999.99.999.999", "756.9999.9999.99", "09.09.1999", "Müller Jörg", "Rämistrasse 1", "8001", "Zürich")));
    PayrollTables::insert(
        db,
        exp,
        exportRow(
            kAlpha +
            person("222.22.222.222", "756.2222.2222.22", "02.02.1972", "D'Amico Luca", "Via Roma 3", "6900", "Lugano") +
            Row{{Field::EFLDA, t("x")},
                {Field::EB0100, Variant()},
                {Field::ET0230, t("Kost; Logis")},
                {Field::EB0230, amount("1200.50")}}));
    PayrollTables::insert(
        db,
        exp,
        exportRow(kBeta +
                  person("888.88.888.888", "756.8888.8888.88", "08.08.1988", "Keller Beat", "", "4000", "Basel") +
                  Row{{Field::ET1510, t("Bemerkung\r\nzweite Zeile")}, {Field::ET1520, t("")}}));
    PayrollTables::insert(
        db,
        exp,
        exportRow(kAlpha +
                  person("666.66.666.666", "756.6666.6666.66", "06.06.1966", " Muster", "Gasse 3", "8000", "Zürich") +
                  Row{{Field::EFLDA, t("")}, {Field::EFLDF, t("")}}));

    const QString laz = QStringLiteral("LGHLAZ");
    const auto year = [&](const char* kind, int y, const char* company, int number) {
        PayrollTables::insert(db,
                              laz,
                              {{QStringLiteral("LHREC"), t(kind)},
                               {QStringLiteral("LHJAHR"), Variant::integer(y)},
                               {QStringLiteral("LHFIN1"), t(company)},
                               {QStringLiteral("LHFINR"), Variant::integer(number)}});
    };
    year("LH", 2013, "Alpha AG", 12);
    year("LH", 2013, "Beta GmbH", 8);
    year("LH", 2012, "Über Bau AG", 99999); // another year: would not fit 16 bits if it were taken
    year("LX", 2013, "Über Bau AG", 99999); // another record kind

    const QString ps = QStringLiteral("LGHPS");
    const auto personRow = [&](const char* name, const char* street, const char* town, const char* canton, int sex) {
        PayrollTables::insert(db,
                              ps,
                              {{QStringLiteral("PNAME"), t(name)},
                               {QStringLiteral("PSTR"), t(street)},
                               {QStringLiteral("PORT"), t(town)},
                               {QStringLiteral("PKTON"), t(canton)},
                               {QStringLiteral("PSEXCD"), Variant::integer(sex)}});
    };
    personRow("D'Amico Luca", "Via Roma 3", "Lugano", "TI", 1);
    personRow("Muster Anna", "Bahnhofstrasse 1", "Zürich", "ZH", 2);
    personRow("Muster Anna", "Bahnhofstrasse 1", "Zürich", "BE", 1); // the first row counts
    personRow("Muster Hans Peter", "Seestrasse 5", "Winterthur", "ZH", 2);
    personRow("Müller Jörg", "Rämistrasse 1", "Zürich", "", 2);
    personRow("Leer Otto", "Hauptstrasse 9", "bern", "BE", 2); // the town differs in case
    db.exec(QStringLiteral("COMMIT"));
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QByteArray expectedFile(const char* name)
{
    const QByteArray bytes = readFile(QStringLiteral(LA_TEST_DATA_DIR "/") + QString::fromLatin1(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes;
}

// The first `count` lines of an expected file, as the file holds them after a run that stopped there.
QByteArray firstLines(const QByteArray& file, int count)
{
    return file.split('\r').mid(0, count).join('\r');
}

class CsvExportRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fillPayroll(db);
        window.medium = 1;
        window.srcFile = db.path();
        window.lib = QStringLiteral("LIB1");
        window.toFile = dir.filePath(QStringLiteral("lohnausweis.csv"));
        gFrmMain = &window;
    }
    void TearDown() override { gFrmMain = nullptr; }

    // Runs the export; the error it ends with, if any.
    std::optional<LaError> run()
    {
        try {
            crtCSVData();
            return std::nullopt;
        } catch (const LaError& e) {
            return e;
        }
    }

    QByteArray output() const { return readFile(window.toFile); }

    QTemporaryDir dir;
    SqliteTestDatabase db;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
};

} // namespace

// The same rows through each back end: the host's types (padded CHAR, DECIMAL, DATE) on MariaDB over
// ODBC, the embedded file with the OLE DB form of the connection string.
class CsvExportBackEnd : public ::testing::TestWithParam<TestDatabaseKind>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QString whyNot;
        db = openTestDatabase(GetParam(), &whyNot);
        if (!db) {
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << qPrintable(whyNot);
            GTEST_SKIP() << qPrintable(whyNot);
        }
        db->dropPayrollTables();
        fillPayroll(*db);
        window.lib = db->library();
        window.toFile = dir.filePath(QStringLiteral("lohnausweis.csv"));
        if (GetParam() == TestDatabaseKind::MariaDb) {
            window.medium = 0;
            window.srcFile = MariaDbServer::dsn();
            prompt.loginUser = MariaDbServer::user();
            prompt.loginPassword = MariaDbServer::password();
        } else {
            window.medium = 1;
            window.srcFile = static_cast<SqliteTestDatabase&>(*db).path();
        }
        gFrmMain = &window;
    }
    void TearDown() override { gFrmMain = nullptr; }

    QTemporaryDir dir;
    std::unique_ptr<TestDatabase> db;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
};

TEST_P(CsvExportBackEnd, WritesTheExpectedFileByteForByte)
{
    try {
        crtCSVData();
    } catch (const LaError& e) {
        FAIL() << e.number() << " " << qPrintable(e.description());
    }
    EXPECT_TRUE(prompt.boxes.isEmpty()) << qPrintable(prompt.boxes.value(0).text);
    const bool odbc = GetParam() == TestDatabaseKind::MariaDb;
    EXPECT_EQ(readFile(window.toFile), expectedFile(odbc ? "csv_export_mariadb.csv" : "csv_export_sqlite.csv"));
    // The login is asked once per run, for the connection every reader of the run shares.
    EXPECT_EQ(prompt.loginCount, odbc ? 1 : 0);
    ASSERT_EQ(window.statusTexts.size(), 10);
    EXPECT_EQ(window.statusTexts.first(), QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
    EXPECT_EQ(window.statusTexts[1], QStringLiteral("Datensatz lesen: 1"));
    EXPECT_EQ(window.statusTexts.last(), QStringLiteral("Datensatz lesen: 9"));
}

INSTANTIATE_TEST_SUITE_P(BackEnds, CsvExportBackEnd, ::testing::ValuesIn(allTestDatabaseKinds()), [](const auto& info) {
    return testDatabaseKindName(info.param);
});

TEST_F(CsvExportRun, OneRowGivesThreeLinesWithoutLineEndAfterTheLast)
{
    db.exec(QStringLiteral("DELETE FROM LGHLAEXP WHERE EFLDI2 <> 'Über Bau AG'"));
    ASSERT_FALSE(run());
    const QByteArray expected = expectedFile("csv_export_sqlite.csv");
    EXPECT_EQ(output(), expected.mid(expected.lastIndexOf("\r\n1;")).mid(2));
    EXPECT_EQ(output().count("\r\n"), 2);
}

TEST_F(CsvExportRun, NoRowsLeavesAnEmptyFileAndReportsError1)
{
    QFile old(window.toFile);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("alte Daten");
    old.close();
    db.exec(QStringLiteral("DELETE FROM LGHLAEXP"));

    const auto error = run();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), 1);
    EXPECT_EQ(error->source(), QStringLiteral("frmMain.crtXMLData\r\nLOVAR/400 Rariz Neuer Lohnausweis"));
    EXPECT_EQ(error->description(), QStringLiteral("Es wurden keine Lohnausweisdaten zum importieren gefunden!"));
    EXPECT_TRUE(QFile::exists(window.toFile));
    EXPECT_EQ(output(), QByteArray());
}

// Faulty rows end the run with an error that names the field and the employee; the lines written
// before the faulty one stay in the file.
TEST_F(CsvExportRun, FaultyValuesEndTheRunAndKeepTheLinesBefore)
{
    struct Case
    {
        const char* fault;
        int error;
        const char* description;
        int linesKept;
    };
    const Case cases[] = {
        {"UPDATE LGHLAEXP SET EFLDH1 = NULL WHERE EFLDH1 = 'Muster Hans Peter'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDH1 von Datensatz 2: kein Wert (Null).", // sorts first in its company
         3},
        {"UPDATE LGHLAEXP SET EFLDE1 = 'abc' WHERE EFLDH1 = 'D''Amico Luca'",
         ErrNo::TypeMismatch,
         "Feld EFLDE1 von 'D'Amico Luca': kein gültiges Datum ('abc').",
         6},
        {"UPDATE LGHLAEXP SET EFLDE2 = NULL WHERE EFLDH1 = 'Keller Beat'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDE2 von 'Keller Beat': kein gültiges Datum (Null).",
         14},
        {"UPDATE LGHLAEXP SET EFLDH6 = NULL WHERE EFLDH1 = 'Keller Beat'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDH6 von 'Keller Beat': kein Wert (Null).",
         13},
        {"UPDATE LGHLAEXP SET EFLDI5 = NULL WHERE EFLDI2 = 'Beta GmbH'",
         ErrNo::InvalidUseOfNull,
         "Feld EFLDI5 von 'Keller Beat': kein Wert (Null).",
         12},
        {"UPDATE LGHLAZ SET LHFINR = 'abc' WHERE LHFIN1 = 'Beta GmbH'",
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Beta GmbH': keine Zahl ('abc').",
         12},
        {"UPDATE LGHPS SET PKTON = NULL WHERE PNAME = 'Muster Anna' AND PKTON = 'ZH'",
         ErrNo::InvalidUseOfNull,
         "Feld PKTON von 'Muster Anna': kein Wert (Null).",
         7},
    };
    const QByteArray expected = expectedFile("csv_export_sqlite.csv");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        SqliteTestDatabase faulty;
        fillPayroll(faulty);
        faulty.exec(QString::fromUtf8(c.fault));
        window.srcFile = faulty.path();

        const auto error = run();
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), c.error);
        EXPECT_EQ(error->description(), QString::fromUtf8(c.description));
        EXPECT_TRUE(error->source().startsWith(QStringLiteral("frmMain.crtXMLData"))) << error->source().toStdString();
        EXPECT_EQ(output(), firstLines(expected, c.linesKept));
    }
    EXPECT_TRUE(prompt.boxes.isEmpty());
}

TEST_F(CsvExportRun, MissingPersonTableShowsTheReadersBoxAndKeepsTheCompanyLine)
{
    db.exec(QStringLiteral("DELETE FROM LGHLAEXP WHERE EFLDI2 = ''"));
    db.exec(QStringLiteral("DROP TABLE LGHPS"));
    EXPECT_FALSE(run()); // the reader has told the user; the run ends quietly
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
    const QByteArray expected = expectedFile("csv_export_sqlite.csv");
    EXPECT_EQ(output(),
              expected.mid(expected.indexOf("1;Alpha AG"),
                           expected.indexOf("\r\n2;;756.6666") - expected.indexOf("1;Alpha AG")));
}

TEST_F(CsvExportRun, MissingCompanyNumberTableShowsTheReadersBoxBeforeTheFirstLine)
{
    db.exec(QStringLiteral("DROP TABLE LGHLAZ"));
    EXPECT_FALSE(run());
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
    EXPECT_TRUE(QFile::exists(window.toFile));
    EXPECT_EQ(output(), QByteArray());
}

TEST_F(CsvExportRun, NoFileIsTouchedWhenTheExportCannotBeRead)
{
    // No export table: the reader's box, no file.
    db.exec(QStringLiteral("DROP TABLE LGHLAEXP"));
    EXPECT_FALSE(run());
    EXPECT_EQ(prompt.boxes.size(), 1);
    EXPECT_FALSE(QFile::exists(window.toFile));

    // No transfer type chosen: a clear error before anything is opened.
    window.medium = -1;
    const auto error = run();
    ASSERT_TRUE(error);
    EXPECT_EQ(error->number(), ErrNo::ObjectNotSet);
    EXPECT_FALSE(QFile::exists(window.toFile));
    EXPECT_EQ(prompt.boxes.size(), 1);
}
