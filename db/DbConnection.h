#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QString>
#include <memory>

class DbRecordSet;

// One open connection to the payroll database. Shared by all readers that hold it.
class DbConnection
{
public:
    virtual ~DbConnection() = default;

    // Runs one SELECT with its `?` markers bound to `parameters`, and fetches the whole result.
    // Throws LaError carrying the driver's native number and message on failure.
    virtual std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) = 0;

    // Called by the reader before its statement is built: the library (schema) the statement will
    // name. Back ends that must make a schema reachable first (the embedded one) do it here.
    virtual void useLibrary(const QString& library) { (void)library; }

    virtual bool isOpen() const = 0;
    virtual void close() = 0;

    // The statements sent on this connection so far (for benchmarks and tests).
    virtual qint64 statementCount() const = 0;
};

// The data source a connection string names, for messages: the DSN, or the system or database file of
// the host's provider; empty when it names none.
QString dataSourceName(const QString& connectionString);

// Opens a connection for a connection string (see db/ConnectionString.h for the forms). A host that
// stops answering ends a statement or its fetch after `timeoutSeconds` (0: no limit) as far as the
// driver can be told so. Throws LaError when the connection cannot be opened.
std::shared_ptr<DbConnection> openDbConnection(const QString& connectionString, int timeoutSeconds = 0);
