#include "db/ConnectionString.h"

#include "platform/LaError.h"
#include "platform/Prompt.h"

namespace {

// A user or password holding a separator, a brace or outer blanks goes in braces (a closing brace
// doubled), so that it logs in as typed and cannot add keywords of its own ("x;PORT=1"). Other
// values go in unchanged.
QString odbcValue(const QString& value)
{
    const bool plain = !value.contains(u';') && !value.contains(u'{') && !value.contains(u'}') &&
                       !value.contains(u'=') &&
                       (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
    if (plain)
        return value;
    return u'{' + QString(value).replace(u'}', QStringLiteral("}}")) + u'}';
}

} // namespace

QString getADOProvider(qint16 transferType, const QString& system)
{
    try {
        switch (transferType) {
        case 1:
            return QStringLiteral("Provider=IBMDA400;Data Source=") + system + u';';
        case 0: {
            QString user;
            QString password;
            if (!prompt().login(system, user, password))
                return {};
            return QStringLiteral("PROVIDER=MSDASQL;dsn=") + system + QStringLiteral(";uid=") + odbcValue(user) +
                   QStringLiteral(";pwd=") + odbcValue(password) + QStringLiteral(";database= ;");
        }
        default:
            return {};
        }
    } catch (...) {
        showError(16, QStringLiteral("Functions.getADOProvider"));
        return {};
    }
}
