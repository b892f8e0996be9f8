#pragma once

#include <QString>

// The connection string for a transfer type: 1 the host's OLE DB provider, 0 an ODBC data source
// (the login dialog asks for user and password on every call), anything else the empty text.
// Errors show the box "Functions.getADOProvider" and give the empty text; so does a login dialog
// closed without OK, without a box. Callers end the run quietly on an empty text.
QString getADOProvider(qint16 transferType, const QString& system);
