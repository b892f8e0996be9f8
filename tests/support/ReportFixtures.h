#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QMap>
#include <QString>

struct MemoryTable;
class TestDatabase;

// One certificate export row by field name.
using ExportRowValues = QMap<QString, Variant>;

// A complete row with every field of the export table filled: a salary certificate of one employee of
// "Gebr. Müller & Söhne AG", with texts that need escaping. Tests change single fields of it.
ExportRowValues sampleRow();

// The same row for employee `index` of `company`: name, insurance number and income differ per row.
ExportRowValues employeeRow(const QString& company, int index);

// The rows as an in-memory LGHLAEXP table with every field as a column.
MemoryTable exportTable(const QList<ExportRowValues>& rows);

// Inserts the rows into the LGHLAEXP table of `db`, in one transaction.
void insertExportRows(TestDatabase& db, const QList<ExportRowValues>& rows);
