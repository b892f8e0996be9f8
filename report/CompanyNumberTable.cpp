#include "report/CompanyNumberTable.h"

#include "db/DbRecordSet.h"
#include "platform/LaError.h"
#include "report/CsvText.h"

namespace {

// LHJAHR and the certificate year may come as a number from one column and as text from the other
// (DECIMAL against CHAR): equal when both read as the same number, otherwise when their texts match.
bool sameYear(const Variant& a, const Variant& b)
{
    if (a.isNull() || b.isNull())
        return false;
    try {
        return a.toDouble() == b.toDouble();
    } catch (const LaError&) {
        return CsvText::trimBlanks(a.toText()) == CsvText::trimBlanks(b.toText());
    }
}

QString requiredText(const Variant& value, const QString& field, const QString& where)
{
    if (value.isNull())
        throw LaError::runtime(ErrNo::InvalidUseOfNull,
                               QStringLiteral("Feld %1 der Tabelle LGHLAZ %2: kein Wert (Null).").arg(field, where));
    return value.toText();
}

} // namespace

void CompanyNumberTable::load(DbRecordSet& rows, const Variant& year)
{
    for (qint64 rowNumber = 1; !rows.isEOF(); rows.moveNext(), ++rowNumber) {
        const Variant kind = rows.value(QStringLiteral("LHREC"));
        if (kind.isNull() || CsvText::trimTrailingBlanks(kind.toText()) != QLatin1String("LH"))
            continue;
        if (!sameYear(rows.value(QStringLiteral("LHJAHR")), year))
            continue;
        const QString company = requiredText(rows.value(QStringLiteral("LHFIN1")),
                                             QStringLiteral("LHFIN1"),
                                             QStringLiteral("(Zeile %1)").arg(rowNumber));
        const QString number = requiredText(rows.value(QStringLiteral("LHFINR")),
                                            QStringLiteral("LHFINR"),
                                            QStringLiteral("für Firma '%1'").arg(company));
        const QString key = CsvText::trimTrailingBlanks(company);
        if (!m_numbers.contains(key))
            m_numbers.insert(key, number);
    }
}

bool CompanyNumberTable::lookUp(const QString& company, qint16& number) const
{
    const auto it = m_numbers.constFind(CsvText::trimTrailingBlanks(company));
    if (it == m_numbers.constEnd())
        return false;
    try {
        number = CsvText::toInt16(it.value());
    } catch (const LaError& e) {
        const QString problem = e.number() == ErrNo::Overflow ? QStringLiteral("Zahl außerhalb von -32768 bis 32767")
                                                              : QStringLiteral("keine Zahl");
        throw LaError::runtime(e.number(),
                               QStringLiteral("Feld LHFINR der Tabelle LGHLAZ für Firma '%1': %2 ('%3').")
                                   .arg(company, problem, it.value()));
    }
    return true;
}
