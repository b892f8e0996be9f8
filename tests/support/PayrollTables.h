#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QPair>
#include <QString>

class TestDatabase;

// The three payroll tables as the host keeps them: fixed-width CHAR columns, DECIMAL(11,2) amounts,
// DATE dates. LGHLAEXP has every field the program reads.
namespace PayrollTables {

using Row = QList<QPair<QString, Variant>>;

void createExportTable(TestDatabase& db); // LGHLAEXP
// Drops and creates LGHLAEXP, LGHLAZ (LHREC, LHJAHR, LHFIN1, LHFINR) and LGHPS (PNAME, PSTR, PORT,
// PKTON, PSEXCD), so that each test starts from nothing.
void createAll(TestDatabase& db);

// Inserts one row; fields not named stay Null.
void insert(TestDatabase& db, const QString& table, const Row& values);

// The declared width of a CHAR column of LGHLAEXP (0 for other columns).
int charWidth(const QString& field);

} // namespace PayrollTables
