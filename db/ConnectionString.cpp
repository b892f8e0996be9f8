#include "db/ConnectionString.h"

#include "platform/LaError.h"
#include "platform/Prompt.h"

QString getADOProvider(qint16 transferType, const QString& system)
{
    try {
        switch (transferType) {
        case 1:
            return QStringLiteral("Provider=IBMDA400;Data Source=") + system + u';';
        case 0: {
            QString user;
            QString password;
            prompt().login(user, password);
            // The values go in as typed: the driver receives the string unchanged.
            return QStringLiteral("PROVIDER=MSDASQL;dsn=") + system + QStringLiteral(";uid=") + user +
                   QStringLiteral(";pwd=") + password + QStringLiteral(";database= ;");
        }
        default:
            return {};
        }
    } catch (...) {
        showError(16, QStringLiteral("Functions.getADOProvider"));
        return {};
    }
}
