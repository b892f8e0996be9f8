#pragma once

#include <QString>
#include <memory>

class QProcess;
class QTemporaryDir;

// A MariaDB server of the test program's own, on loopback, with its own data folder, socket, port and
// ODBC configuration (a test-local odbc.ini and odbcinst.ini the driver manager is pointed at). It is
// started on first use and stopped when the tests end. The library LIB1 is a database of the server;
// CHAR columns come back padded to their width, as the host's do.
class MariaDbServer
{
public:
    ~MariaDbServer();
    MariaDbServer(const MariaDbServer&) = delete;
    MariaDbServer& operator=(const MariaDbServer&) = delete;

    // The running server, or null with the reason in `whyNot`; a failed start is not retried.
    static MariaDbServer* instance(QString* whyNot);
    // Points the driver manager at the test configuration; must run before the first ODBC call.
    static void prepareOdbcConfiguration();
    static void stopInstance();

    int port() const { return m_port; }
    qint64 processId() const;
    static QString dsn() { return QStringLiteral("LADSN"); }
    static QString driverName() { return QStringLiteral("MariaDB Test"); }
    static QString library() { return QStringLiteral("LIB1"); }
    static QString user() { return QStringLiteral("lauser"); }
    static QString password() { return QStringLiteral("La-Pw.7"); }
    // The program's own ODBC connection string for the test data source and user.
    QString connectionString() const;
    // A connection string for creating and filling tables, as a user the tests do not count.
    QString adminConnectionString() const;

private:
    MariaDbServer();
    bool start(QString* whyNot);
    bool runClient(const QString& sql, QString* whyNot);
    void stop();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QProcess> m_server;
    int m_port = 0;
};
