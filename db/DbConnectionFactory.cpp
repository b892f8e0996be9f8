#include "db/DbConnection.h"
#include "platform/LaError.h"

// Placeholder until the ODBC and SQLite back ends land: every connection fails to open.
std::shared_ptr<DbConnection> openDbConnection(const QString& connectionString)
{
    throw LaError::runtime(ErrNo::InvalidCall,
                           QStringLiteral("Keine Datenbankanbindung für '%1' vorhanden.").arg(connectionString));
}
