#include "report/CheckFinding.h"

const std::array<CheckRuleInfo, 20>& checkRules()
{
    static constexpr std::array<CheckRuleInfo, 20> rules{{
        {CheckRule::AmountNotNumber, CheckSeverity::Error, "Betrag keine Zahl"},
        {CheckRule::GrossSum, CheckSeverity::Error, "Summe Ziffer 8"},
        {CheckRule::NetSum, CheckSeverity::Error, "Summe Ziffer 11"},
        {CheckRule::NegativeAmount, CheckSeverity::Error, "Negativer Betrag"},
        {CheckRule::NoCertificateKind, CheckSeverity::Error, "Weder A noch B"},
        {CheckRule::AhvNumber, CheckSeverity::Error, "Neue AHV-Nummer"},
        {CheckRule::PeriodDate, CheckSeverity::Error, "Periode kein Datum"},
        {CheckRule::PeriodOrder, CheckSeverity::Error, "Periode von nach bis"},
        {CheckRule::PeriodYear, CheckSeverity::Error, "Periode ausserhalb des Jahres"},
        {CheckRule::FieldNull, CheckSeverity::Error, "Feld ohne Wert"},
        {CheckRule::CompanyZipCity, CheckSeverity::Error, "PLZ und Ort der Firma"},
        {CheckRule::BothCertificateKinds, CheckSeverity::Notice, "A und B"},
        {CheckRule::CompanyCarWithoutF, CheckSeverity::Notice, "Ziffer 2.2 ohne F"},
        {CheckRule::MissingKindText, CheckSeverity::Notice, "Art fehlt"},
        {CheckRule::NoPlaceDate, CheckSeverity::Notice, "Ort und Datum fehlen"},
        {CheckRule::AddressLine, CheckSeverity::Notice, "Adresszeile nicht gedruckt"},
        {CheckRule::DuplicateAhv, CheckSeverity::Notice, "AHV-Nummer doppelt"},
        {CheckRule::PersonNotFound, CheckSeverity::Notice, "Person nicht in LGHPS"},
        {CheckRule::NameParticle, CheckSeverity::Notice, "Namenszusatz"},
        {CheckRule::Windows1252, CheckSeverity::Notice, "Zeichen ausserhalb Windows-1252"},
    }};
    return rules;
}

const CheckRuleInfo& checkRuleInfo(CheckRule rule)
{
    return checkRules()[std::size_t(rule)];
}

QString severityText(CheckSeverity severity)
{
    return severity == CheckSeverity::Error ? QStringLiteral("Fehler") : QStringLiteral("Hinweis");
}
