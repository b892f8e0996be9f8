#include "report/PersonTable.h"

#include "db/DbRecordSet.h"
#include "report/CsvText.h"

QString PersonTable::selectList()
{
    return QStringLiteral("PNAME, PSTR, PORT, PKTON, PSEXCD");
}

PersonTable::Key PersonTable::keyOf(const QString& name, const QString& street, const QString& town)
{
    return {CsvText::trimTrailingBlanks(name), CsvText::trimBlanks(street), CsvText::trimBlanks(town)};
}

void PersonTable::load(DbRecordSet& rows)
{
    for (; !rows.isEOF(); rows.moveNext()) {
        const Variant name = rows.value(0);
        const Variant street = rows.value(1);
        const Variant town = rows.value(2);
        if (name.isNull() || street.isNull() || town.isNull())
            continue;
        const Key key = keyOf(name.toText(), street.toText(), town.toText());
        if (!m_persons.contains(key))
            m_persons.insert(key, Person{rows.value(3), rows.value(4)});
    }
}

const PersonTable::Person* PersonTable::find(const QString& name, const QString& street, const QString& town) const
{
    const auto it = m_persons.constFind(keyOf(name, street, town));
    return it == m_persons.constEnd() ? nullptr : &it.value();
}
