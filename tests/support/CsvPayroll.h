#pragma once

#include <QByteArray>
#include <QString>

class TestDatabase;

// Fills `db` with the payroll tables whose eLohnausweis file is tests/data/csv_export_sqlite.csv (the
// embedded file) and csv_export_mariadb.csv (the server's padded CHAR, DECIMAL and DATE columns).
void fillPayroll(TestDatabase& db);

// The bytes of a file, empty when it cannot be read.
QByteArray readFile(const QString& path);

// The bytes of a file of tests/data.
QByteArray expectedFile(const char* name);
