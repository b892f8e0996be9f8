#include "support/ReportFixtures.h"

#include "db/ExportRow.h"
#include "support/MemoryDb.h"
#include "support/PayrollTables.h"
#include "support/TestDatabase.h"

ExportRowValues sampleRow()
{
    ExportRowValues r;
    for (const QLatin1String name : Field::All)
        r[name] = Variant::text(QString());
    r[Field::EFLDA] = Variant::text(QStringLiteral("X"));
    r[Field::EFLDC1] = Variant::text(QStringLiteral("756.1234.5678.97"));
    r[Field::EFLDC2] = Variant::text(QStringLiteral("123.45.678.901"));
    r[Field::EFLDD] = Variant::integer(2024);
    r[Field::EFLDE1] = Variant::date(QDate(2024, 1, 1));
    r[Field::EFLDE2] = Variant::text(QStringLiteral("31.12.2024"));
    r[Field::EFLDF] = Variant::text(QStringLiteral("x"));
    r[Field::EFLDG] = Variant::null();
    r[Field::EFLDH0] = Variant::text(QStringLiteral("r"));
    r[Field::EFLDH1] = Variant::text(QStringLiteral("O'Neill <Anna> \"Annie\""));
    r[Field::EFLDH2] = Variant::text(QStringLiteral("c/o Meier"));
    r[Field::EFLDH3] = Variant::text(QStringLiteral("Bahnhofstraße 1"));
    r[Field::EFLDH5] = Variant::text(QStringLiteral("8001"));
    r[Field::EFLDH6] = Variant::text(QStringLiteral("Zürich"));
    r[Field::EFLDI1] = Variant::text(QStringLiteral("Bern, 31.01.2025"));
    r[Field::EFLDI2] = Variant::text(QStringLiteral("Gebr. Müller & Söhne AG"));
    r[Field::EFLDI3] = Variant::text(QStringLiteral("Hauptgasse 5 "));
    r[Field::EFLDI4] = Variant::text(QStringLiteral("3000 Bern"));
    r[Field::EFLDI5] = Variant::text(QStringLiteral("Hans Meier"));
    r[Field::EFLDI6] = Variant::text(QStringLiteral("031 123 45 67"));
    r[Field::EGEBDT] = Variant::date(QDate(1980, 5, 17));
    r[Field::EB0100] = Variant::integer(85000);
    r[Field::EB0210] = Variant::decimal(QStringLiteral("0.00"));
    r[Field::EB0220] = Variant::decimal(QStringLiteral("1200.50"));
    r[Field::ET0230] = Variant::text(QStringLiteral("Handy"));
    for (const QString& zero : QStringLiteral("EB0230 EB0300 EB0400 EB0500 EB0600 EB0700 EB1020 EB1200 EB1321 "
                                              "EB1322 EB1323")
                                   .split(u' '))
        r[zero] = Variant::integer(0);
    r[Field::EB0800] = Variant::floating(86200.5);
    r[Field::EB0900] = Variant::decimal(QStringLiteral("5000.10"));
    r[Field::EB1010] = Variant::integer(3000);
    r[Field::EB1100] = Variant::floating(78200.4);
    r[Field::ET1311] = Variant::text(QStringLiteral("X"));
    r[Field::EB1311] = Variant::decimal(QStringLiteral("150.00"));
    r[Field::ET1312] = Variant::text(QStringLiteral("Reise"));
    r[Field::EB1312] = Variant::integer(20);
    r[Field::EB1330] = Variant::integer(500);
    r[Field::ET1410] = Variant::text(QStringLiteral("Kita"));
    r[Field::ET1510] = Variant::text(QStringLiteral("Teilzeit 80%"));
    r[Field::ET1520] = Variant::text(QStringLiteral("ab März"));
    return r;
}

ExportRowValues employeeRow(const QString& company, int index)
{
    ExportRowValues r = sampleRow();
    r[Field::EFLDI2] = Variant::text(company);
    r[Field::EFLDH1] = Variant::text(QStringLiteral("Person %1").arg(index, 5, 10, QLatin1Char('0')));
    r[Field::EFLDC2] = Variant::text(QStringLiteral("100.00.%1").arg(index, 5, 10, QLatin1Char('0')));
    r[Field::EB0100] = Variant::integer(50000 + index);
    return r;
}

MemoryTable exportTable(const QList<ExportRowValues>& rows)
{
    MemoryTable table;
    for (const QLatin1String name : Field::All)
        table.columns.append(name);
    for (const ExportRowValues& row : rows) {
        QList<Variant> values;
        for (const QLatin1String name : Field::All)
            values.append(row.value(name));
        table.rows.append(values);
    }
    return table;
}

void insertExportRows(TestDatabase& db, const QList<ExportRowValues>& rows)
{
    db.exec(QStringLiteral("BEGIN"));
    for (const ExportRowValues& row : rows) {
        PayrollTables::Row values;
        for (auto it = row.begin(); it != row.end(); ++it)
            values.append({it.key(), it.value()});
        PayrollTables::insert(db, QStringLiteral("LGHLAEXP"), values);
    }
    db.exec(QStringLiteral("COMMIT"));
}
