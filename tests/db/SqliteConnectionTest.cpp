#include "db/SqliteConnection.h"

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class SqliteBackEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.exec(QStringLiteral("CREATE TABLE T (I INTEGER, R REAL, S TEXT, B BLOB, N TEXT)"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (?, ?, ?, ?, NULL)"),
                {Variant::integer(9007199254740993), Variant::floating(0.1), Variant::text(QStringLiteral("ab  "))});
        db.exec(QStringLiteral("UPDATE T SET B = CAST('Zürich' AS BLOB)"));
    }

    LaError queryError(const QString& sql, const QList<Variant>& parameters = {})
    {
        const auto connection = openDbConnection(db.connectionString());
        connection->useLibrary(QStringLiteral("LIB1"));
        try {
            connection->query(sql, parameters);
        } catch (const LaError& e) {
            return e;
        }
        ADD_FAILURE() << "no error for " << qPrintable(sql);
        return LaError(0, {}, {});
    }

    SqliteTestDatabase db;
};

TEST_F(SqliteBackEnd, StorageClassesBecomeTheirValueKinds)
{
    const auto connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    const auto rs = connection->query(QStringLiteral("SELECT * FROM LIB1.T"));
    ASSERT_FALSE(rs->isEOF());
    EXPECT_EQ(rs->value(QStringLiteral("I")), Variant::integer(9007199254740993));
    EXPECT_EQ(rs->value(QStringLiteral("R")), Variant::floating(0.1));
    EXPECT_EQ(rs->value(QStringLiteral("S")), Variant::text(QStringLiteral("ab  ")));
    EXPECT_EQ(rs->value(QStringLiteral("B")), Variant::text(QStringLiteral("Zürich")));
    EXPECT_TRUE(rs->value(QStringLiteral("N")).isNull());
    EXPECT_EQ(rs->fieldCount(), 5);
    EXPECT_EQ(rs->fieldName(2), QStringLiteral("S"));
}

TEST_F(SqliteBackEnd, ParametersAreBoundNotPasted)
{
    db.exec(QStringLiteral("INSERT INTO T (S) VALUES (?)"), {Variant::text(QStringLiteral("O'Brien"))});
    const auto connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    auto rs = connection->query(QStringLiteral("SELECT COUNT(*) FROM LIB1.T WHERE S = ? OR I = ?"),
                                {Variant::text(QStringLiteral("O'Brien")), Variant::integer(9007199254740993)});
    EXPECT_EQ(rs->value(0), Variant::integer(2));
    rs = connection->query(QStringLiteral("SELECT COUNT(*) FROM LIB1.T WHERE S = ?"), {Variant()});
    EXPECT_EQ(rs->value(0), Variant::integer(0));
}

TEST_F(SqliteBackEnd, SeveralLibrariesReachTheSameFile)
{
    const auto connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    connection->useLibrary(QStringLiteral("lib1")); // the same schema: attached once
    connection->useLibrary(QStringLiteral("DEMO"));
    const auto rs = connection->query(QStringLiteral("SELECT a.I FROM LIB1.T a JOIN DEMO.T b ON a.I = b.I"));
    EXPECT_EQ(rs->value(0), Variant::integer(9007199254740993));
}

TEST_F(SqliteBackEnd, ErrorsCarrySqliteCodeAndMessage)
{
    const LaError missing = queryError(QStringLiteral("SELECT * FROM LIB1.NOPE"));
    EXPECT_EQ(missing.number(), 1);
    EXPECT_EQ(missing.source(), QStringLiteral("SQLite"));
    EXPECT_EQ(missing.description(), QStringLiteral("no such table: LIB1.NOPE"));

    // The reader only reads: neither a write nor a second statement behind the first gets through.
    const LaError write = queryError(QStringLiteral("DELETE FROM LIB1.T"));
    EXPECT_NE(write.number(), 0);
    const LaError second = queryError(QStringLiteral("SELECT * FROM LIB1.T; DELETE FROM LIB1.T"));
    EXPECT_NE(second.number(), 0);
    const LaError markers = queryError(QStringLiteral("SELECT * FROM LIB1.T WHERE I = ?"));
    EXPECT_EQ(markers.source(), QStringLiteral("SQLite"));

    const auto connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    EXPECT_EQ(connection->query(QStringLiteral("SELECT COUNT(*) FROM LIB1.T"))->value(0), Variant::integer(1));
}

TEST_F(SqliteBackEnd, ClosedConnectionRefusesQueriesButFetchedRowsStay)
{
    const auto connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    const auto rs = connection->query(QStringLiteral("SELECT S FROM LIB1.T"));
    connection->close();
    EXPECT_FALSE(connection->isOpen());
    EXPECT_THROW(connection->query(QStringLiteral("SELECT S FROM LIB1.T")), LaError);
    EXPECT_EQ(rs->value(0), Variant::text(QStringLiteral("ab  ")));
}

struct BadSource
{
    const char* name;
    QString (*source)(const QTemporaryDir& dir);
};

class SqliteBadSource : public ::testing::TestWithParam<BadSource>
{
};

TEST_P(SqliteBadSource, ShowsOneBoxAndFails)
{
    QTemporaryDir dir;
    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("SQLite format 2 but not really\n");
    text.close();

    RecordingPrompt p;
    ScopedPrompt installed(p);
    clsADOConnect reader;
    reader.setSource(GetParam().source(dir));
    reader.setLibl(QStringLiteral("LIB1"));
    EXPECT_FALSE(reader.init(QStringLiteral("LGHLAEXP")));
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
    EXPECT_THROW(reader.MoveNext(), LaError);
}

INSTANTIATE_TEST_SUITE_P(Sources,
                         SqliteBadSource,
                         ::testing::Values(BadSource{"MissingFile",
                                                     [](const QTemporaryDir& d) {
                                                         return QStringLiteral("Provider=IBMDA400;Data Source=") +
                                                                d.filePath(QStringLiteral("x.sqlite")) + u';';
                                                     }},
                                           BadSource{"NotADatabase",
                                                     [](const QTemporaryDir& d) {
                                                         return QStringLiteral("Provider=IBMDA400;Data Source=") +
                                                                d.filePath(QStringLiteral("notes.txt")) + u';';
                                                     }},
                                           BadSource{"AFolder",
                                                     [](const QTemporaryDir& d) {
                                                         return QStringLiteral("Provider=IBMDA400;Data Source=") +
                                                                d.path() + u';';
                                                     }},
                                           BadSource{"EmptyString", [](const QTemporaryDir&) { return QString(); }},
                                           BadSource{"UnknownProvider",
                                                     [](const QTemporaryDir&) {
                                                         return QStringLiteral("Provider=SQLOLEDB;Data Source=x;");
                                                     }}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
