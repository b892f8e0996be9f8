#pragma once

#include "report/CheckFinding.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The findings of a check as the clerk gets them: a text table, a CSV file for a spreadsheet, and
// the totals line.

// "41 Lohnausweise geprüft: 2 Fehler, 5 Hinweise"
QString checkTotals(qint64 certificates, qsizetype errors, qsizetype notices);

// The column captions, in the order of the table and the CSV file.
QStringList checkReportColumns();
// The values of a finding in the order of checkReportColumns.
QStringList checkReportValues(const CheckFinding& finding);

// A caption line and one line per finding, the columns padded with blanks; empty without findings.
QString checkReportTable(const QList<CheckFinding>& findings);

// UTF-8 with a byte order mark (so that spreadsheets take it as UTF-8), ";" between the columns, a
// caption line first, CR LF after every line; values holding ";", '"' or a line break are quoted.
QByteArray checkReportCsv(const QList<CheckFinding>& findings);

// Writes the CSV form, whatever the name. Throws LaError naming the file.
void writeCheckCsv(const QString& fileName, const QList<CheckFinding>& findings);

// Writes the CSV form when the name ends in ".csv" (any case), else the table followed by `totals`.
// Throws LaError naming the file.
void writeCheckReport(const QString& fileName, const QList<CheckFinding>& findings, const QString& totals);
