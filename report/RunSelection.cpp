#include "report/RunSelection.h"

namespace {

// Texts compared as the host keeps them, in CHAR columns padded with blanks.
QString trimmed(const QString& column)
{
    return QStringLiteral("LTRIM(RTRIM(%1))").arg(column);
}

} // namespace

RunSelection RunSelection::of(const QStringList& companies, const QStringList& employees)
{
    RunSelection selection;
    const QStringList anyCompany = companies.isEmpty() ? QStringList{QString()} : companies;
    const QStringList anyEmployee = employees.isEmpty() ? QStringList{QString()} : employees;
    for (const QString& company : anyCompany) {
        for (const QString& employee : anyEmployee)
            selection.add(company, employee);
    }
    return selection;
}

void RunSelection::add(const QString& company, const QString& employee)
{
    const Criterion criterion{company.trimmed(), employee.trimmed()};
    if (criterion.company.isEmpty() && criterion.employee.isEmpty())
        return;
    if (!m_criteria.contains(criterion))
        m_criteria.append(criterion);
}

QString RunSelection::condition() const
{
    QStringList alternatives;
    for (const Criterion& c : m_criteria) {
        QStringList parts;
        if (!c.company.isEmpty())
            parts.append(trimmed(QStringLiteral("EFLDI2")) + QStringLiteral(" = ?"));
        if (!c.employee.isEmpty())
            parts.append(u'(' + trimmed(QStringLiteral("EFLDC2")) + QStringLiteral(" = ? OR ") +
                         trimmed(QStringLiteral("EFLDC1")) + QStringLiteral(" = ? OR ") +
                         trimmed(QStringLiteral("EFLDH1")) + QStringLiteral(" = ?)"));
        alternatives.append(u'(' + parts.join(QStringLiteral(" AND ")) + u')');
    }
    return alternatives.join(QStringLiteral(" OR "));
}

QList<Variant> RunSelection::parameters() const
{
    QList<Variant> values;
    for (const Criterion& c : m_criteria) {
        if (!c.company.isEmpty())
            values.append(Variant::text(c.company));
        if (!c.employee.isEmpty())
            values.append({Variant::text(c.employee), Variant::text(c.employee), Variant::text(c.employee)});
    }
    return values;
}

QString RunSelection::noCertificateDataText() const
{
    QString text = QStringLiteral("Es wurden keine Lohnausweisdaten zum importieren gefunden!");
    if (!isEmpty())
        text += QStringLiteral("\r\nDie Auswahl trifft keinen Lohnausweis: ") + describe() + u'.';
    return text;
}

QString RunSelection::describe() const
{
    QStringList parts;
    for (const Criterion& c : m_criteria) {
        QStringList part;
        if (!c.company.isEmpty())
            part.append(QStringLiteral("Firma '%1'").arg(c.company));
        if (!c.employee.isEmpty())
            part.append(QStringLiteral("Mitarbeiter '%1'").arg(c.employee));
        parts.append(part.join(QStringLiteral(", ")));
    }
    return parts.join(QStringLiteral("; "));
}
