#pragma once

#include "db/DbConnection.h"
#include "platform/LaError.h"

#include <memory>

// A connection through the ODBC driver manager, opened with SQLDriverConnect from a connection
// string that reaches the driver unchanged. Results are fetched completely (they are walked in both
// directions). Errors are LaError with the driver's native error number (-1 when it gives none),
// source "ODBC" and the SQLSTATE, and the driver's message.
class OdbcConnection : public DbConnection
{
public:
    // Throws LaError when the driver manager, the driver or the server refuses the connection.
    // `timeoutSeconds` (0: none) goes to the driver as login, connection and query time-out;
    // `server` names the host in the message about a server that stopped answering.
    explicit OdbcConnection(const QString& connectionString, int timeoutSeconds = 0, QString server = {});
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    // The login waits at most 30 seconds, and never longer than the run's time-out.
    static int loginTimeoutSeconds(int timeoutSeconds) { return timeoutSeconds > 0 ? qMin(timeoutSeconds, 30) : 30; }

    std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) override;
    bool isOpen() const override;
    void close() override;
    qint64 statementCount() const override { return m_statementCount; }

private:
    struct Handles;
    std::unique_ptr<DbRecordSet> fetch(const QString& statement, const QList<Variant>& parameters);
    enum class Wait
    {
        Login,
        Statement
    };
    LaError explainLostServer(const LaError& error, Wait wait, qint64 waitedMs) const;

    std::unique_ptr<Handles> m_handles;
    qint64 m_statementCount = 0;
    int m_timeoutSeconds = 0;
    QString m_server;
};
