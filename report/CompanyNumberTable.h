#pragma once

#include "platform/Variant.h"

#include <QHash>
#include <QString>

class DbRecordSet;

// The company numbers of LGHLAZ for the certificate year: pairs of company name (LHFIN1) and
// number (LHFINR), as many as the table holds for that year.
class CompanyNumberTable
{
public:
    // Takes the rows from the current one of `rows` to its end whose LHREC is "LH" and whose LHJAHR
    // is `year`. A taken row with a Null LHFIN1 or LHFINR throws LaError 94 naming the field.
    void load(DbRecordSet& rows, const Variant& year);

    // Checks the number of `company` (the first pair whose name equals it, trailing blanks aside) and
    // returns it; false when no pair names the company. A number that is no 16-bit whole number
    // throws LaError 13 or 6 naming the field and the company.
    bool lookUp(const QString& company, qint16& number) const;

    qsizetype size() const { return m_numbers.size(); }

private:
    QHash<QString, QString> m_numbers; // company name without trailing blanks -> LHFINR as text
};
