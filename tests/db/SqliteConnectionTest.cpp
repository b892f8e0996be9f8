#include "db/SqliteConnection.h"

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "platform/LaError.h"
#include "support/TestDatabase.h"

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

    std::shared_ptr<DbConnection> connect()
    {
        std::shared_ptr<DbConnection> connection = openDbConnection(db.connectionString());
        connection->useLibrary(QStringLiteral("LIB1"));
        return connection;
    }

    LaError queryError(const QString& sql)
    {
        try {
            connect()->query(sql);
        } catch (const LaError& e) {
            return e;
        }
        ADD_FAILURE() << "no error for " << qPrintable(sql);
        return LaError(0, {}, {});
    }

    SqliteTestDatabase db;
};

TEST_F(SqliteBackEnd, StorageClassesBecomeTheirValueKindsAndParametersAreBound)
{
    db.exec(QStringLiteral("INSERT INTO T (S) VALUES (?)"), {Variant::text(QStringLiteral("O'Brien"))});
    const auto rs = connect()->query(QStringLiteral("SELECT * FROM LIB1.T ORDER BY S"));
    ASSERT_FALSE(rs->isEOF());
    EXPECT_EQ(rs->value(QStringLiteral("S")), Variant::text(QStringLiteral("O'Brien")));
    rs->moveNext();
    EXPECT_EQ(rs->value(QStringLiteral("I")), Variant::integer(9007199254740993));
    EXPECT_EQ(rs->value(QStringLiteral("R")), Variant::floating(0.1));
    EXPECT_EQ(rs->value(QStringLiteral("S")), Variant::text(QStringLiteral("ab  ")));
    EXPECT_EQ(rs->value(QStringLiteral("B")), Variant::text(QStringLiteral("Zürich")));
    EXPECT_TRUE(rs->value(QStringLiteral("N")).isNull());
    EXPECT_EQ(rs->fieldName(2), QStringLiteral("S"));
}

TEST_F(SqliteBackEnd, OnlyReadsAndErrorsCarrySqliteCodeAndMessage)
{
    const LaError missing = queryError(QStringLiteral("SELECT * FROM LIB1.NOPE"));
    EXPECT_EQ(missing.number(), 1);
    EXPECT_EQ(missing.source(), QStringLiteral("SQLite"));
    EXPECT_EQ(missing.description(), QStringLiteral("no such table: LIB1.NOPE"));
    // Neither a write nor a second statement behind the first gets through.
    EXPECT_NE(queryError(QStringLiteral("DELETE FROM LIB1.T")).number(), 0);
    EXPECT_NE(queryError(QStringLiteral("SELECT * FROM LIB1.T; DELETE FROM LIB1.T")).number(), 0);
    EXPECT_EQ(queryError(QStringLiteral("SELECT * FROM LIB1.T WHERE I = ?")).source(), QStringLiteral("SQLite"));

    const auto connection = connect();
    const auto rs = connection->query(QStringLiteral("SELECT COUNT(*) FROM LIB1.T"));
    connection->close();
    EXPECT_THROW(connection->query(QStringLiteral("SELECT S FROM LIB1.T")), LaError);
    EXPECT_EQ(rs->value(0), Variant::integer(1)); // fetched rows outlive the connection
}

} // namespace
