#include "support/CsvPayroll.h"

#include "db/ExportRow.h"
#include "support/PayrollTables.h"
#include "support/TestDatabase.h"

namespace {

using PayrollTables::Row;

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

Variant amount(const char* digits)
{
    return Variant::decimal(QString::fromLatin1(digits));
}

// The fields named, in order, with the texts of `values` separated by "|".
Row fields(std::initializer_list<QLatin1String> names, const char* values)
{
    const QStringList texts = QString::fromUtf8(values).split(u'|');
    Row row;
    int i = 0;
    for (const QLatin1String name : names)
        row.append({name, Variant::text(texts.value(i++))});
    return row;
}

// A certificate row of `company` (EFLDI2..EFLDI6) and `person` (EFLDC1, EFLDC2, EGEBDT, EFLDH1, EFLDH3,
// EFLDH5, EFLDH6) with the values most rows share; `changes` replaces or adds fields.
Row exportRow(const char* company, const char* person, const Row& changes = {})
{
    Row row = {
        {Field::EFLDA, t("X")},
        {Field::EFLDB, t("")},
        {Field::EFLDD, t("2013")},
        {Field::EFLDE1, Variant::date(QDate(2013, 1, 1))},
        {Field::EFLDE2, Variant::date(QDate(2013, 12, 31))},
        {Field::EFLDF, t("X")},
        {Field::EFLDG, t("")},
        {Field::EFLDH2, t("")},
        {Field::EFLDH4, t("")},
        {Field::EB0100, amount("60000.00")},
        {Field::EB0210, amount("0.00")},
        {Field::EB0900, amount("3180.50")},
        {Field::EB1010, amount("2400.00")},
    };
    row += fields({Field::EFLDI2, Field::EFLDI3, Field::EFLDI4, Field::EFLDI5, Field::EFLDI6}, company);
    row += fields(
        {Field::EFLDC1, Field::EFLDC2, Field::EGEBDT, Field::EFLDH1, Field::EFLDH3, Field::EFLDH5, Field::EFLDH6},
        person);
    for (const auto& change : changes) {
        auto it = std::find_if(row.begin(), row.end(), [&](const auto& f) { return f.first == change.first; });
        if (it != row.end())
            it->second = change.second;
        else
            row.append(change);
    }
    return row;
}

// The rows of the expected file, inserted out of order: sorting is the database's job. Muster Anna is
// the last person of Alpha AG and the first of Beta GmbH, so her person line must come under both.
} // namespace

void fillPayroll(TestDatabase& db)
{
    PayrollTables::createAll(db);
    // One transaction: the file is written once instead of once per row.
    db.exec(QStringLiteral("BEGIN"));
    const char* alpha = "Alpha AG|Industriestrasse 5|8000 Zürich|Muster Hans Peter|044 123 45 67";
    const char* beta = "Beta GmbH|Seeweg 2|6000 Luzern|Meier|041 000 00 00";
    const char* anna = "333.33.333.333|756.3333.3333.33|03.03.1973|Muster Anna|Bahnhofstrasse 1|8001|Zürich";
    const Row postBox{{Field::EFLDH4, t("Postfach 12")}};
    const Row rows[] = {
        exportRow(beta, anna, postBox),
        exportRow(alpha,
                  "555.55.555.555|756.5555.5555.55|05.05.1955|Huber Hans Peter|Seestrasse 5|8000|Zürich",
                  {{Field::EFLDH2, t("c/o Meier")},
                   {Field::EFLDA, t("")},
                   {Field::EFLDB, t("X")},
                   {Field::EFLDF, t("")},
                   {Field::EFLDG, t("X")},
                   {Field::ET1311, t("X")},
                   {Field::ET1410, t("abc")},
                   {Field::ET1420, t("")},
                   {Field::ET1510, t("Zeile 1")},
                   {Field::ET1520, t("Zeile 2")}}),
        exportRow(alpha, anna, postBox),
        exportRow("||||", "111.11.111.111|756.1111.1111.11|01.02.1970|Leer Otto|Hauptstrasse 9|3000|Bern"),
        exportRow(alpha, anna, postBox),
        exportRow("Über Bau AG|Rämistrasse 1|8001 Zürich|Jörg Müller|044 000 00 00",
                  "999.99.999.999|756.9999.9999.99|09.09.1999|Müller Jörg|Rämistrasse 1|8001|Zürich"),
        exportRow(alpha,
                  "222.22.222.222|756.2222.2222.22|02.02.1972|D'Amico Luca|Via Roma 3|6900|Lugano",
                  {{Field::EFLDA, t("x")},
                   {Field::EB0100, Variant()},
                   {Field::ET0230, t("Kost; Logis")},
                   {Field::EB0230, amount("1200.50")}}),
        exportRow(beta,
                  "888.88.888.888|756.8888.8888.88|08.08.1988|Nef Beat||4000|Basel",
                  {{Field::ET1510, t("Bemerkung\r\nzweite Zeile")}, {Field::ET1520, t("")}}),
        exportRow(alpha,
                  "666.66.666.666|756.6666.6666.66|06.06.1966| Muster|Gasse 3|8000|Zürich",
                  {{Field::EFLDA, t("")}, {Field::EFLDF, t("")}}),
    };
    for (Row row : rows) {
        if (db.backEnd() == QLatin1String("MariaDB")) { // the date of birth is a DATE there
            for (auto& [name, value] : row)
                if (name == Field::EGEBDT)
                    value = Variant::date(QDate::fromString(value.toText(), QStringLiteral("dd.MM.yyyy")));
        }
        PayrollTables::insert(db, QStringLiteral("LGHLAEXP"), row);
    }

    const auto year = [&](const char* kind, int y, const char* company, int number) {
        PayrollTables::insert(db,
                              QStringLiteral("LGHLAZ"),
                              {{QStringLiteral("LHREC"), t(kind)},
                               {QStringLiteral("LHJAHR"), Variant::integer(y)},
                               {QStringLiteral("LHFIN1"), t(company)},
                               {QStringLiteral("LHFINR"), Variant::integer(number)}});
    };
    year("LH", 2013, "Alpha AG", 12);
    year("LH", 2013, "Beta GmbH", 8);
    year("LH", 2012, "Über Bau AG", 99999); // another year: would not fit 16 bits if it were taken
    year("LX", 2013, "Über Bau AG", 99999); // another record kind

    const auto personRow = [&](const char* nameStreetTown, const char* canton, int sex) {
        Row row = fields({QLatin1String("PNAME"), QLatin1String("PSTR"), QLatin1String("PORT")}, nameStreetTown);
        row += {{QStringLiteral("PKTON"), t(canton)}, {QStringLiteral("PSEXCD"), Variant::integer(sex)}};
        PayrollTables::insert(db, QStringLiteral("LGHPS"), row);
    };
    personRow("D'Amico Luca|Via Roma 3|Lugano", "TI", 1);
    personRow("Muster Anna|Bahnhofstrasse 1|Zürich", "ZH", 2);
    personRow("Muster Anna|Bahnhofstrasse 1|Zürich", "BE", 1); // the first row counts
    personRow("Huber Hans Peter|Seestrasse 5|Winterthur", "ZH", 2);
    personRow("Müller Jörg|Rämistrasse 1|Zürich", "", 2);
    personRow("Leer Otto|Hauptstrasse 9|bern", "BE", 2); // the town differs in case
    db.exec(QStringLiteral("COMMIT"));
}
