#pragma once

#include "platform/Variant.h"

#include <QHash>
#include <QString>

class DbRecordSet;

// The person table LGHPS held in memory for the run, so that a person line costs a hash lookup
// instead of a statement whose condition no index can serve.
class PersonTable
{
public:
    struct Person
    {
        Variant canton;  // PKTON
        Variant sexCode; // PSEXCD
    };

    // The columns the lookup needs, in the order `load` expects them.
    static QString selectList();

    // Reads PNAME, PSTR, PORT, PKTON and PSEXCD from the current row of `rows` to its end. Where
    // several rows share name, street and town, the first one in the table's order counts.
    // A row with a Null name, street or town can never match and is left out.
    void load(DbRecordSet& rows);

    // The person whose PNAME without trailing blanks equals `name` without trailing blanks and whose
    // PSTR and PORT, trimmed of blanks, equal `street` and `town` trimmed of blanks; exact and
    // case-sensitive. Null when there is none.
    const Person* find(const QString& name, const QString& street, const QString& town) const;

    qsizetype size() const { return m_persons.size(); }

private:
    struct Key
    {
        QString name;
        QString street;
        QString town;
        bool operator==(const Key& other) const = default;
        friend size_t qHash(const Key& key, size_t seed = 0)
        {
            return qHashMulti(seed, key.name, key.street, key.town);
        }
    };
    static Key keyOf(const QString& name, const QString& street, const QString& town);

    QHash<Key, Person> m_persons;
};
