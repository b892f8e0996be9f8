#pragma once

#include "db/DbConnection.h"

#include <QStringList>
#include <memory>

struct sqlite3;

// A connection to an SQLite database file standing in for the host: the file is opened read-only and
// every library (schema) of a statement is the file attached under that name, so that
// "SELECT * FROM LIB1.LGHLAEXP" reads table LGHLAEXP of the file. Errors are LaError with the
// extended SQLite result code, source "SQLite" and SQLite's message.
class SqliteConnection : public DbConnection
{
public:
    // Throws LaError when the file is missing or no SQLite database.
    explicit SqliteConnection(const QString& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // True for an existing regular file that starts with the SQLite file header.
    static bool isSqliteFile(const QString& path);

    std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) override;
    void useLibrary(const QString& library) override;
    bool isOpen() const override;
    void close() override;
    qint64 statementCount() const override { return m_statementCount; }

private:
    struct Closer
    {
        void operator()(sqlite3* db) const noexcept;
    };

    std::unique_ptr<sqlite3, Closer> m_db;
    QString m_path;
    QStringList m_libraries; // attached so far
    qint64 m_statementCount = 0;
};
