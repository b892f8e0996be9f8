#include "db/SqliteConnection.h"

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

TEST(SqliteBackEnd, StorageClassesBecomeValueKindsOnlyReadsGetThroughErrorsCarrySqliteCode)
{
    SqliteTestDatabase db;
    db.exec(QStringLiteral("CREATE TABLE T (I INTEGER, R REAL, S TEXT, B BLOB, N TEXT)"));
    db.exec(QStringLiteral("INSERT INTO T VALUES (?, ?, ?, CAST('Zürich' AS BLOB), NULL)"),
            {Variant::integer(9007199254740993), Variant::floating(0.1), Variant::text(QStringLiteral("ab  "))});
    db.exec(QStringLiteral("INSERT INTO T (S) VALUES (?)"), {Variant::text(QStringLiteral("O'Brien"))});
    const std::shared_ptr<DbConnection> connection = openDbConnection(db.connectionString());
    connection->useLibrary(QStringLiteral("LIB1"));
    const auto rs = connection->query(QStringLiteral("SELECT * FROM LIB1.T ORDER BY S"));
    ASSERT_FALSE(rs->isEOF());
    EXPECT_EQ(rs->value(QStringLiteral("S")), Variant::text(QStringLiteral("O'Brien")));
    rs->moveNext();
    EXPECT_EQ(rs->value(QStringLiteral("I")), Variant::integer(9007199254740993));
    EXPECT_EQ(rs->value(QStringLiteral("R")), Variant::floating(0.1));
    EXPECT_EQ(rs->value(QStringLiteral("S")), Variant::text(QStringLiteral("ab  ")));
    EXPECT_EQ(rs->value(QStringLiteral("B")), Variant::text(QStringLiteral("Zürich")));
    EXPECT_TRUE(rs->value(QStringLiteral("N")).isNull());
    EXPECT_EQ(rs->fieldName(2), QStringLiteral("S"));

    const LaError missing = raisedBy([&] { connection->query(QStringLiteral("SELECT * FROM LIB1.NOPE")); });
    EXPECT_EQ(missing.number(), 1);
    EXPECT_EQ(missing.source(), QStringLiteral("SQLite"));
    EXPECT_EQ(missing.description(), QStringLiteral("no such table: LIB1.NOPE"));
    // Neither a write nor a second statement behind the first gets through; a marker needs its value.
    for (const char* sql :
         {"DELETE FROM LIB1.T", "SELECT * FROM LIB1.T; DELETE FROM LIB1.T", "SELECT * FROM LIB1.T WHERE I = ?"})
        EXPECT_EQ(raisedBy([&] { connection->query(QString::fromLatin1(sql)); }).source(), QStringLiteral("SQLite"))
            << sql;

    connection->close();
    EXPECT_THROW(connection->query(QStringLiteral("SELECT S FROM LIB1.T")), LaError);
    EXPECT_EQ(rs->value(QStringLiteral("S")),
              Variant::text(QStringLiteral("ab  "))); // fetched rows outlive the connection
}
