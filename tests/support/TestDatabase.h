#pragma once

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "platform/Variant.h"
#include "support/MariaDbServer.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

// A payroll database for tests that go through the real back ends: tables are created and filled
// through `exec`, the program reads them with `connectionString()` and `library()`.
class TestDatabase
{
public:
    virtual ~TestDatabase();

    virtual QString backEnd() const = 0; // "SQLite", "MariaDB"
    virtual QString connectionString() const = 0;
    virtual QString library() const = 0;
    // The name under which `exec` reaches a table of the library.
    virtual QString tableName(const QString& table) const = 0;
    // Runs one statement that changes the database, `?` markers bound to `parameters`.
    virtual void exec(const QString& statement, const QList<Variant>& parameters = {}) = 0;
    // The number of client connections the server sees, or -1 for a back end without a server.
    virtual int serverConnectionCount() { return -1; }
};

struct sqlite3;

// A fresh SQLite file in a temporary folder, reached with the host provider's connection string.
class SqliteTestDatabase : public TestDatabase
{
public:
    SqliteTestDatabase();

    QString backEnd() const override { return QStringLiteral("SQLite"); }
    QString connectionString() const override;
    QString library() const override { return QStringLiteral("LIB1"); }
    QString tableName(const QString& table) const override { return table; }
    void exec(const QString& statement, const QList<Variant>& parameters = {}) override;
    QString path() const { return m_dir.filePath(QStringLiteral("payroll.sqlite")); }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> m_db;
};

// The library LIB1 of the test program's own MariaDB server, reached through ODBC with the program's
// ODBC connection string; tables are created and filled as a separate administrator.
class MariaDbTestDatabase : public TestDatabase
{
public:
    explicit MariaDbTestDatabase(const MariaDbServer& server);

    QString backEnd() const override { return QStringLiteral("MariaDB"); }
    QString connectionString() const override { return m_server.connectionString(); }
    QString library() const override { return MariaDbServer::library(); }
    QString tableName(const QString& table) const override { return library() + u'.' + table; }
    void exec(const QString& statement, const QList<Variant>& parameters = {}) override
    {
        m_admin->query(statement, parameters);
    }
    int serverConnectionCount() override;

private:
    const MariaDbServer& m_server;
    std::unique_ptr<DbConnection> m_admin;
};

enum class TestDatabaseKind
{
    Sqlite,
    MariaDb
};

inline std::vector<TestDatabaseKind> allTestDatabaseKinds()
{
    return {TestDatabaseKind::Sqlite, TestDatabaseKind::MariaDb};
}
inline std::string testDatabaseKindName(TestDatabaseKind kind)
{
    return kind == TestDatabaseKind::Sqlite ? "SQLite" : "MariaDB";
}
// A fresh database of that kind, or null with the reason in `whyNot` when its server cannot run.
std::unique_ptr<TestDatabase> openTestDatabase(TestDatabaseKind kind, QString* whyNot);
