#pragma once

#include <QString>
#include <array>

// What the plausibility check can find on a certificate, and how bad it is: an error means the tax
// office or the import rejects the certificate or the output comes out wrong, a notice is worth a look.
enum class CheckSeverity
{
    Error,
    Notice,
};

enum class CheckRule
{
    // errors
    AmountNotNumber,
    GrossSum,
    NetSum,
    NegativeAmount,
    WithholdingAboveGross,
    NoCertificateKind,
    AhvNumber,
    AhvTwoPeople,
    PeriodDate,
    PeriodOrder,
    PeriodYear,
    FieldNull,
    BlankNameAddress,
    CompanyZipCity,
    MissingKindText,
    // notices
    BothCertificateKinds,
    AnnuityWithDeductions,
    AllZero,
    AmountWithCents,
    LumpSumWithoutApproval,
    CarAndCarLumpSum,
    NoPlaceDate,
    PlaceDateBeforeEnd,
    DuplicateAhv,
    PersonNotFound,
    NameParticle,
    Windows1252,
    Unprintable,
    FormulaStart,
    TextTooLong,
};

inline constexpr std::size_t kCheckRuleCount = std::size_t(CheckRule::TextTooLong) + 1;

struct CheckRuleInfo
{
    CheckRule rule;
    CheckSeverity severity;
    const char* name; // UTF-8
};

// Every rule, errors first, in the order above.
const std::array<CheckRuleInfo, kCheckRuleCount>& checkRules();
const CheckRuleInfo& checkRuleInfo(CheckRule rule);

// "Fehler" or "Hinweis".
QString severityText(CheckSeverity severity);

struct CheckFinding
{
    CheckRule rule;
    QString company;
    QString employee;
    QString ahvNumber; // the new AHV number (EFLDC2)
    QString text;      // German, with the values involved

    CheckSeverity severity() const { return checkRuleInfo(rule).severity; }
    QString ruleName() const { return QString::fromUtf8(checkRuleInfo(rule).name); }
};
