#include "db/DbConnection.h"
#include "db/OdbcConnection.h"
#include "db/SqliteConnection.h"
#include "platform/LaError.h"

#include <QFileInfo>
#include <QHash>

namespace {

// "key=value;" pairs, keys compared case-insensitively; a later key wins, as with the drivers. A
// value in braces ("pwd={a;b}}c}") runs to its closing brace, so that what it holds cannot count
// as a key of its own.
QHash<QString, QString> connectionAttributes(const QString& connectionString)
{
    QHash<QString, QString> attributes;
    const qsizetype n = connectionString.size();
    for (qsizetype pos = 0; pos < n;) {
        qsizetype end = connectionString.indexOf(u';', pos);
        const qsizetype eq = connectionString.indexOf(u'=', pos);
        if (eq < 0 || (end >= 0 && end < eq)) {
            pos = end < 0 ? n : end + 1;
            continue;
        }
        const QString key = connectionString.mid(pos, eq - pos).trimmed().toUpper();
        QString value;
        if (eq + 1 < n && connectionString[eq + 1] == u'{') {
            qsizetype i = eq + 2;
            for (; i < n; ++i) {
                if (connectionString[i] != u'}') {
                    value += connectionString[i];
                } else if (i + 1 < n && connectionString[i + 1] == u'}') {
                    value += u'}';
                    ++i;
                } else {
                    break;
                }
            }
            end = connectionString.indexOf(u';', i);
        } else {
            value = connectionString.mid(eq + 1, end < 0 ? -1 : end - eq - 1);
        }
        attributes.insert(key, value);
        pos = end < 0 ? n : end + 1;
    }
    return attributes;
}

bool looksLikePath(const QString& dataSource)
{
    return dataSource.contains(u'/') || dataSource.contains(u'\\');
}

// The MariaDB and MySQL drivers honour neither the login, the query nor the connection time-out of
// ODBC for a server that stops answering, only these keywords of their own; other drivers pass over
// keywords they do not know, as they do with PROVIDER.
QString withDriverTimeouts(QString connectionString, int timeoutSeconds)
{
    if (!connectionString.endsWith(u';'))
        connectionString += u';';
    connectionString += QStringLiteral("CONN_TIMEOUT=%1;").arg(OdbcConnection::loginTimeoutSeconds(timeoutSeconds));
    if (timeoutSeconds > 0)
        connectionString += QStringLiteral("READ_TIMEOUT=%1;WRITE_TIMEOUT=%1;").arg(timeoutSeconds);
    return connectionString;
}

} // namespace

QString dataSourceName(const QString& connectionString)
{
    const QHash<QString, QString> attributes = connectionAttributes(connectionString);
    for (const char* key : {"DSN", "DATA SOURCE", "SERVER"}) {
        if (const QString name = attributes.value(QString::fromLatin1(key)).trimmed(); !name.isEmpty())
            return name;
    }
    return {};
}

std::shared_ptr<DbConnection> openDbConnection(const QString& connectionString, int timeoutSeconds)
{
    const QHash<QString, QString> attributes = connectionAttributes(connectionString);
    const QString provider = attributes.value(QStringLiteral("PROVIDER")).trimmed().toUpper();
    if (provider == QLatin1String("IBMDA400")) {
        const QString dataSource = attributes.value(QStringLiteral("DATA SOURCE")).trimmed();
        // A host name never contains a slash, so a data source that does is meant as a database file:
        // a missing file is reported as such instead of as an unknown host.
        if (SqliteConnection::isSqliteFile(dataSource) || (looksLikePath(dataSource) && !dataSource.isEmpty()))
            return std::make_shared<SqliteConnection>(dataSource);
        // The host itself: through the host's own ODBC driver.
        return std::make_shared<OdbcConnection>(QStringLiteral("DRIVER={IBM i Access ODBC Driver};SYSTEM=") +
                                                    dataSource + u';',
                                                timeoutSeconds,
                                                dataSource);
    }
    if (provider == QLatin1String("MSDASQL")) {
        QString server = attributes.value(QStringLiteral("DSN")).trimmed();
        if (server.isEmpty())
            server = attributes.value(QStringLiteral("SERVER")).trimmed();
        return std::make_shared<OdbcConnection>(
            withDriverTimeouts(connectionString, timeoutSeconds), timeoutSeconds, server);
    }
    throw LaError::runtime(ErrNo::InvalidCall,
                           provider.isEmpty()
                               ? QStringLiteral("Die Verbindungszeichenfolge nennt keinen Provider.")
                               : QStringLiteral("Der Provider '%1' wird nicht unterstützt.").arg(provider));
}
