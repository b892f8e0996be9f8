#pragma once

#include "db/DbConnection.h"

#include <memory>

// A connection through the ODBC driver manager, opened with SQLDriverConnect from a connection
// string that reaches the driver unchanged. Results are fetched completely (they are walked in both
// directions). Errors are LaError with the driver's native error number (-1 when it gives none),
// source "ODBC" and the SQLSTATE, and the driver's message.
class OdbcConnection : public DbConnection
{
public:
    // Throws LaError when the driver manager, the driver or the server refuses the connection.
    explicit OdbcConnection(const QString& connectionString);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) override;
    bool isOpen() const override;
    void close() override;
    qint64 statementCount() const override { return m_statementCount; }

private:
    struct Handles;
    std::unique_ptr<Handles> m_handles;
    qint64 m_statementCount = 0;
};
