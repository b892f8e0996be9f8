#include "report/CheckFinding.h"

const std::array<CheckRuleInfo, kCheckRuleCount>& checkRules()
{
    static constexpr std::array<CheckRuleInfo, kCheckRuleCount> rules{{
        {CheckRule::AmountNotNumber, CheckSeverity::Error, "Betrag keine Zahl"},
        {CheckRule::GrossSum, CheckSeverity::Error, "Summe Ziffer 8"},
        {CheckRule::NetSum, CheckSeverity::Error, "Summe Ziffer 11"},
        {CheckRule::NegativeAmount, CheckSeverity::Error, "Negativer Betrag"},
        {CheckRule::WithholdingAboveGross, CheckSeverity::Error, "Quellensteuer über Bruttolohn"},
        {CheckRule::NoCertificateKind, CheckSeverity::Error, "Weder A noch B"},
        {CheckRule::AhvNumber, CheckSeverity::Error, "Neue AHV-Nummer"},
        {CheckRule::AhvTwoPeople, CheckSeverity::Error, "AHV-Nummer zweier Personen"},
        {CheckRule::PeriodDate, CheckSeverity::Error, "Periode kein Datum"},
        {CheckRule::PeriodOrder, CheckSeverity::Error, "Periode von nach bis"},
        {CheckRule::PeriodYear, CheckSeverity::Error, "Periode ausserhalb des Jahres"},
        {CheckRule::FieldNull, CheckSeverity::Error, "Feld ohne Wert"},
        {CheckRule::BlankNameAddress, CheckSeverity::Error, "Name oder Adresse leer"},
        {CheckRule::CompanyZipCity, CheckSeverity::Error, "PLZ und Ort der Firma"},
        {CheckRule::MissingKindText, CheckSeverity::Error, "Art fehlt"},
        {CheckRule::BothCertificateKinds, CheckSeverity::Notice, "A und B"},
        {CheckRule::AnnuityWithDeductions, CheckSeverity::Notice, "Rente mit Abzügen"},
        {CheckRule::AllZero, CheckSeverity::Notice, "Alle Beträge null"},
        {CheckRule::AmountWithCents, CheckSeverity::Notice, "Betrag mit Rappen"},
        {CheckRule::LumpSumWithoutApproval, CheckSeverity::Notice, "Pauschalspesen ohne Genehmigung"},
        {CheckRule::CarAndCarLumpSum, CheckSeverity::Notice, "Geschäftsfahrzeug und Autopauschale"},
        {CheckRule::NoPlaceDate, CheckSeverity::Notice, "Ort und Datum fehlen"},
        {CheckRule::PlaceDateBeforeEnd, CheckSeverity::Notice, "Datum vor Periodenende"},
        {CheckRule::DuplicateAhv, CheckSeverity::Notice, "AHV-Nummer doppelt"},
        {CheckRule::PersonNotFound, CheckSeverity::Notice, "Person nicht in LGHPS"},
        {CheckRule::NameParticle, CheckSeverity::Notice, "Namenszusatz"},
        {CheckRule::Windows1252, CheckSeverity::Notice, "Zeichen ausserhalb Windows-1252"},
        {CheckRule::Unprintable, CheckSeverity::Notice, "Zeichen nicht druckbar"},
        {CheckRule::FormulaStart, CheckSeverity::Notice, "Wert wie eine Formel"},
        {CheckRule::TextTooLong, CheckSeverity::Notice, "Text zu lang"},
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
