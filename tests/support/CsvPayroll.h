#pragma once

#include <QString>

class TestDatabase;

// Fills `db` with the payroll tables whose eLohnausweis file is tests/data/csv_export_sqlite.csv (the
// embedded file) and csv_export_mariadb.csv (the server's padded CHAR, DECIMAL and DATE columns).
void fillPayroll(TestDatabase& db);

// The path of a file of tests/data.
inline QString testDataFile(const char* name)
{
    return QStringLiteral(LA_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}
