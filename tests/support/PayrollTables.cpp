#include "support/PayrollTables.h"

#include "db/ExportRow.h"
#include "support/TestDatabase.h"

#include <QStringList>

namespace {

// The server keeps the date of birth as a DATE, as a host may, so that the program's own formatting
// of a date it copies as text is tested; the embedded file has no date type.
QString exportColumnType(const QString& field, const TestDatabase& db)
{
    if (field.startsWith(QLatin1String("EB")))
        return QStringLiteral("DECIMAL(11,2)");
    if (field == Field::EFLDE1 || field == Field::EFLDE2 ||
        (field == Field::EGEBDT && db.backEnd() == QLatin1String("MariaDB")))
        return QStringLiteral("DATE");
    return QStringLiteral("CHAR(%1)").arg(PayrollTables::charWidth(field));
}

void create(TestDatabase& db, const QString& table, const QStringList& columns)
{
    db.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(db.tableName(table), columns.join(QStringLiteral(", "))));
}

} // namespace

namespace PayrollTables {

int charWidth(const QString& field)
{
    static const QHash<QString, int> widths{
        {Field::EFLDA, 1},
        {Field::EFLDB, 1},
        {Field::EFLDF, 1},
        {Field::EFLDG, 1},
        {Field::EFLDH0, 1},
        {Field::ET1311, 1},
        {Field::EFLDC1, 16},
        {Field::EFLDC2, 16},
        {Field::EFLDD, 4},
        {Field::EFLDH5, 10},
        {Field::EFLDH6, 40},
        {Field::EFLDI6, 20},
        {Field::EGEBDT, 10},
    };
    if (field.startsWith(QLatin1String("EB")) || field == Field::EFLDE1 || field == Field::EFLDE2)
        return 0;
    if (!field.startsWith(QLatin1String("E")))
        return 0;
    return widths.value(field, 60);
}

void createExportTable(TestDatabase& db)
{
    QStringList columns;
    for (const QLatin1String field : Field::All)
        columns.append(QString(field) + u' ' + exportColumnType(field, db));
    create(db, QStringLiteral("LGHLAEXP"), columns);
}

void createAll(TestDatabase& db)
{
    for (const char* table : {"LGHLAEXP", "LGHLAZ", "LGHPS"})
        db.exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(db.tableName(QString::fromLatin1(table))));
    createExportTable(db);
    create(db,
           QStringLiteral("LGHLAZ"),
           {"LHREC CHAR(2)", "LHJAHR DECIMAL(4,0)", "LHFIN1 CHAR(60)", "LHFINR DECIMAL(5,0)"});
    create(db,
           QStringLiteral("LGHPS"),
           {"PNAME CHAR(60)", "PSTR CHAR(60)", "PORT CHAR(40)", "PKTON CHAR(2)", "PSEXCD DECIMAL(1,0)"});
}

void insert(TestDatabase& db, const QString& table, const Row& values)
{
    QStringList names;
    QStringList markers;
    QList<Variant> parameters;
    for (const auto& [name, value] : values) {
        names.append(name);
        markers.append(QStringLiteral("?"));
        parameters.append(value);
    }
    db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(db.tableName(table), names.join(QStringLiteral(", ")), markers.join(QStringLiteral(", "))),
            parameters);
}

} // namespace PayrollTables
