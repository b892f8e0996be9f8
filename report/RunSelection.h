#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QString>
#include <QStringList>

// The rows of LGHLAEXP a run or a check is restricted to: after correcting one employee, the clerk
// prints that certificate and not the whole table again. Each criterion names a company (EFLDI2 as
// stored, trimmed), an employee (the new or the old AHV number as printed, or the name EFLDH1), or
// both; a row is selected when one criterion matches it. No criterion: every row.
class RunSelection
{
public:
    struct Criterion
    {
        QString company;  // empty: any company
        QString employee; // empty: any employee
        bool operator==(const Criterion& other) const = default;
    };

    // Companies and employees as the command line gives them: every employee of every company named
    // when only one kind is given, each named employee within each named company when both are.
    static RunSelection of(const QStringList& companies, const QStringList& employees);

    // Adds a criterion once; blanks around the texts do not count.
    void add(const QString& company, const QString& employee);

    bool isEmpty() const { return m_criteria.isEmpty(); }
    const QList<Criterion>& criteria() const { return m_criteria; }

    // The condition for the statement, with one `?` marker per value of `parameters()`: the values
    // go to the database as bound parameters, never into the statement's text, so that a quote or a
    // "%" in a name is compared as the character it is. Empty without criteria.
    QString condition() const;
    QList<Variant> parameters() const;

    // "Firma 'A', Mitarbeiter '756.1234.5678.97'" for messages.
    QString describe() const;

    // The description of error 1 when the rows to write are none: the known first line, and for a
    // selection a line saying that it matched nothing.
    QString noCertificateDataText() const;

private:
    QList<Criterion> m_criteria;
};
