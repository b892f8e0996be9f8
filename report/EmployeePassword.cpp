#include "report/EmployeePassword.h"

#include "platform/LaError.h"
#include "platform/Variant.h"

#include <QRegularExpression>

std::optional<EmployeePasswordKind> parseEmployeePasswordKind(const QString& text)
{
    for (const EmployeePasswordKind kind : {EmployeePasswordKind::None,
                                            EmployeePasswordKind::Birthdate,
                                            EmployeePasswordKind::Ahv,
                                            EmployeePasswordKind::Fixed}) {
        if (text.trimmed().compare(employeePasswordKindName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    }
    return std::nullopt;
}

QString employeePasswordKindName(EmployeePasswordKind kind)
{
    switch (kind) {
    case EmployeePasswordKind::Birthdate:
        return QStringLiteral("birthdate");
    case EmployeePasswordKind::Ahv:
        return QStringLiteral("ahv");
    case EmployeePasswordKind::Fixed:
        return QStringLiteral("fixed");
    case EmployeePasswordKind::None:
        break;
    }
    return QStringLiteral("none");
}

QString employeePasswordDescription(EmployeePasswordKind kind)
{
    switch (kind) {
    case EmployeePasswordKind::Birthdate:
        return QStringLiteral("Passwort: Geburtsdatum (TTMMJJJJ)");
    case EmployeePasswordKind::Ahv:
        return QStringLiteral("Passwort: AHV-Nummer (13 Ziffern)");
    case EmployeePasswordKind::Fixed:
        return QStringLiteral("Passwort: wie eingegeben, für alle gleich");
    case EmployeePasswordKind::None:
        break;
    }
    return QStringLiteral("ohne Passwort");
}

EmployeePassword employeePassword(EmployeePasswordKind kind,
                                  const Variant& birthDate,
                                  const Variant& ahvNumber,
                                  const QString& fixed,
                                  const QString& employee)
{
    const auto refused = [&](const char* field, const char* problem) {
        return EmployeePassword{
            {},
            QStringLiteral("Das Passwort der Datei von %1 käme aus %2, doch dort steht %3; die Datei wird nicht "
                           "geschrieben.")
                .arg(employee, QString::fromUtf8(field), QString::fromUtf8(problem))};
    };
    switch (kind) {
    case EmployeePasswordKind::None:
        return {};
    case EmployeePasswordKind::Fixed:
        return {fixed, {}};
    case EmployeePasswordKind::Birthdate:
        if (birthDate.isNull())
            return refused("dem Geburtsdatum (EGEBDT)", "kein Wert (Null)");
        if (!birthDate.isDate())
            return refused("dem Geburtsdatum (EGEBDT)", "kein Datum");
        return {birthDate.toDate().toString(QStringLiteral("ddMMyyyy")), {}};
    case EmployeePasswordKind::Ahv:
        break;
    }
    if (ahvNumber.isNull())
        return refused("der AHV-Nummer (EFLDC2)", "kein Wert (Null)");
    static const QRegularExpression thirteenDigits(QStringLiteral("^[0-9]{13}$"));
    QString digits;
    try {
        digits = ahvNumber.toText().trimmed().remove(u'.');
    } catch (const LaError&) {
        // A floating number that is no number (infinity) has no digits either.
    }
    if (!thirteenDigits.match(digits).hasMatch())
        return refused("der AHV-Nummer (EFLDC2)", "keine Nummer aus 13 Ziffern");
    return {digits, {}};
}
