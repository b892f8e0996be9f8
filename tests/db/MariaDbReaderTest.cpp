// What only a real server over ODBC shows: the host's value types, the driver's errors, the
// connection string reaching the driver as it is.
#include "db/ConnectionString.h"
#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/FrozenServer.h"
#include "support/MariaDbServer.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

class MariaDbReader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString whyNot;
        server = MariaDbServer::instance(&whyNot);
        if (!server) {
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << qPrintable(whyNot);
            GTEST_SKIP() << qPrintable(whyNot);
        }
        db = std::make_unique<MariaDbTestDatabase>(*server);
        PayrollTables::createAll(*db);
    }

    std::shared_ptr<DbConnection> connect()
    {
        auto c = openDbConnection(server->connectionString());
        c->useLibrary(MariaDbServer::library());
        return c;
    }

    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    MariaDbServer* server = nullptr;
    std::unique_ptr<MariaDbTestDatabase> db;
};

// One test, because each test starts the server.
TEST_F(MariaDbReader, OdbcStringReachesTheDriverValuesComeAsDeliveredErrorsShowOneBox)
{
    PayrollTables::insert(
        *db, QStringLiteral("LGHPS"), {{QStringLiteral("PKTON"), Variant::text(QStringLiteral("GR"))}});
    prompt.loginUser = MariaDbServer::user();
    prompt.loginPassword = MariaDbServer::password();
    const QString source = getADOProvider(0, MariaDbServer::dsn());
    EXPECT_EQ(source,
              QStringLiteral("PROVIDER=MSDASQL;dsn=LADSN;uid=lauser;pwd=") + MariaDbServer::password() +
                  QStringLiteral(";database= ;"));
    clsADOConnect reader;
    reader.setSource(source);
    reader.setLibl(MariaDbServer::library());
    ASSERT_TRUE(reader.init(QStringLiteral("LGHPS"), QStringLiteral("PKTON")))
        << qPrintable(prompt.boxes.value(0).text);
    EXPECT_EQ(reader.getValue(), QStringLiteral("GR"));

    // The password is the one typed: a wrong one is the server's refusal, with its own number.
    const LaError refused = raisedBy(
        [] { openDbConnection(QStringLiteral("PROVIDER=MSDASQL;dsn=LADSN;uid=lauser;pwd=wrong;database= ;")); });
    EXPECT_EQ(refused.number(), 1045);
    EXPECT_EQ(refused.source(), QStringLiteral("ODBC 28000"));
    EXPECT_TRUE(refused.description().contains(QStringLiteral("Access denied"))) << qPrintable(refused.description());

    // Nothing listens on the port below the server's own in the test.
    const QString serverDown = QStringLiteral("PROVIDER=MSDASQL;DRIVER={%1};SERVER=127.0.0.1;PORT=%2;uid=%3;pwd=%4;")
                                   .arg(MariaDbServer::driverName())
                                   .arg(server->port() == 1 ? 2 : server->port() - 1)
                                   .arg(MariaDbServer::user(), MariaDbServer::password());
    const std::pair<QString, QString> cases[] = {{server->connectionString(), QStringLiteral("NOLIB")},
                                                 {serverDown, QStringLiteral("LIB1")}};
    for (const auto& [source, library] : cases) {
        prompt.boxes.clear();
        clsADOConnect reader;
        reader.setSource(source);
        reader.setLibl(library);
        EXPECT_FALSE(reader.init(QStringLiteral("LGHLAEXP")));
        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_TRUE(prompt.boxes[0].text.contains(QStringLiteral("ODBC "))) << qPrintable(prompt.boxes[0].text);
    }

    // The values come as the host delivers them.
    PayrollTables::insert(*db,
                          QStringLiteral("LGHLAEXP"),
                          {{Field::EFLDH1, Variant::text(QStringLiteral("D'Amico Luca"))},
                           {Field::EFLDD, Variant::text(QStringLiteral("2025"))},
                           {Field::EB0100, Variant::decimal(QStringLiteral("1234.5"))},
                           {Field::EB0210, Variant::integer(0)},
                           {Field::EFLDE2, Variant::date(QDate(2025, 12, 31))},
                           {Field::ET0230, Variant::text(QString())}});
    const QString longText = QString(30000, u'ä') + QStringLiteral("ßend  ");
    db->exec(QStringLiteral("DROP TABLE IF EXISTS LIB1.T"));
    db->exec(QStringLiteral("CREATE TABLE LIB1.T (L TEXT, TS DATETIME, D DOUBLE, I BIGINT, B VARBINARY(20))"));
    db->exec(QStringLiteral("INSERT INTO LIB1.T VALUES (?, '2025-03-04 05:06:07', 0.25, -9007199254740993, 'Zürich')"),
             {Variant::text(longText)});

    // Parameters are bound: an apostrophe in the value needs no quoting.
    const auto rs = connect()->query(QStringLiteral("SELECT * FROM LIB1.LGHLAEXP WHERE RTRIM(EFLDH1) = ?"),
                                     {Variant::text(QStringLiteral("D'Amico Luca"))});
    ASSERT_FALSE(rs->isEOF());
    EXPECT_EQ(rs->value(QString(Field::ET0230)), Variant::text(QString(60, u' ')));
    EXPECT_EQ(rs->value(QString(Field::EFLDD)), Variant::text(QStringLiteral("2025")));
    EXPECT_EQ(rs->value(QString(Field::EB0100)), Variant::decimal(QStringLiteral("1234.50")));
    EXPECT_EQ(rs->value(QString(Field::EB0210)), Variant::decimal(QStringLiteral("0.00")));
    EXPECT_EQ(rs->value(QString(Field::EFLDE2)), Variant::date(QDate(2025, 12, 31)));

    const auto other = connect()->query(QStringLiteral("SELECT * FROM LIB1.T"));
    EXPECT_EQ(other->value(QStringLiteral("L")), Variant::text(longText));
    EXPECT_EQ(other->value(QStringLiteral("TS")), Variant::timestamp(QDateTime(QDate(2025, 3, 4), QTime(5, 6, 7))));
    EXPECT_EQ(other->value(QStringLiteral("D")), Variant::floating(0.25));
    EXPECT_EQ(other->value(QStringLiteral("I")), Variant::integer(-9007199254740993));
    EXPECT_EQ(other->value(QStringLiteral("B")), Variant::text(QStringLiteral("Zürich")));
}

TEST_F(MariaDbReader, AServerThatStopsAnsweringEndsTheRunWithAGermanBoxNamingIt)
{
    // Frozen after the login (the statement waits) and before it (the login waits, with a limit of its own).
    for (const auto& [connectedBefore, expected] :
         {std::pair{true, "Der Datenbankserver 'LADSN' antwortet nicht (Zeitlimit 2 Sekunden"},
          {false, "Der Datenbankserver 'LADSN' antwortet nicht auf die Anmeldung (Zeitlimit 2 Sekunden)"}}) {
        SCOPED_TRACE(connectedBefore);
        prompt.boxes.clear();
        clsADOConnect reader;
        reader.setSource(server->connectionString());
        reader.setLibl(MariaDbServer::library());
        reader.setTimeout(2);
        if (connectedBefore)
            reader.setConnection(openDbConnection(server->connectionString(), 2));
        {
            const FrozenServer frozen(*server);
            EXPECT_FALSE(reader.init(QStringLiteral("LGHLAEXP")));
        }
        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_TRUE(prompt.boxes[0].text.contains(QString::fromUtf8(expected))) << qPrintable(prompt.boxes[0].text);
    }
}

// A server that dies between two statements of a run: the box says so in German first, the driver's
// own words below.
TEST_F(MariaDbReader, AServerKilledBetweenStatementsIsNamedAsALostConnection)
{
    const std::shared_ptr<DbConnection> connection = connect();
    connection->query(QStringLiteral("SELECT 1"));
    ::kill(pid_t(server->processId()), SIGKILL);
    MariaDbServer::stopInstance();
    const LaError lost = raisedBy([&] { connection->query(QStringLiteral("SELECT 2")); });
    const QStringList lines = lost.description().split(u'\n');
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Die Verbindung zum Datenbankserver 'LADSN' ist verloren gegangen")))
        << qPrintable(lost.description());
    EXPECT_TRUE(lines.value(1).startsWith(QStringLiteral("[ma-"))) << qPrintable(lost.description());
}

TEST_F(MariaDbReader, LoginWithSeparatorsLogsInAsTypedAndAddsNoKeywords)
{
    const QString oddUser = QStringLiteral("la;us}er");
    const QString oddPassword = QStringLiteral("P;a}s=s{");
    db->exec(QStringLiteral("CREATE USER '%1'@'localhost' IDENTIFIED BY '%2', '%1'@'127.0.0.1' IDENTIFIED BY '%2'")
                 .arg(oddUser, oddPassword));
    db->exec(QStringLiteral("GRANT SELECT ON LIB1.* TO '%1'@'localhost', '%1'@'127.0.0.1'").arg(oddUser));
    PayrollTables::insert(
        *db, QStringLiteral("LGHPS"), {{QStringLiteral("PKTON"), Variant::text(QStringLiteral("GR"))}});
    const struct
    {
        QString user, password;
        bool connects;
    } cases[] = {
        {oddUser, oddPassword, true},
        // Unquoted, the user name would send the connection to another port.
        {QStringLiteral("lauser;PORT=1"), MariaDbServer::password(), false},
        // Nor may the password switch the back end.
        {MariaDbServer::user(), QStringLiteral("x;PROVIDER=IBMDA400;Data Source=/nowhere/db.sqlite"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user.toStdString());
        prompt.loginUser = c.user;
        prompt.loginPassword = c.password;
        clsADOConnect reader;
        reader.setSource(getADOProvider(0, MariaDbServer::dsn()));
        reader.setLibl(MariaDbServer::library());
        prompt.boxes.clear();
        ASSERT_EQ(reader.init(QStringLiteral("LGHPS"), QStringLiteral("PKTON")), c.connects)
            << qPrintable(prompt.boxes.value(0).text);
        // Refused as the user typed it (1045), not by another port or back end.
        if (c.connects)
            EXPECT_EQ(reader.getValue(), QStringLiteral("GR"));
        else
            EXPECT_TRUE(prompt.boxes.value(0).text.contains(QStringLiteral("1045")));
    }
}

} // namespace
