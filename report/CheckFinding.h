#pragma once

#include <QString>
#include <array>

// What the plausibility check can find on a certificate, and how bad it is: an error means the tax
// office rejects the certificate or the output comes out wrong, a notice is worth a look.
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
    NoCertificateKind,
    AhvNumber,
    PeriodDate,
    PeriodOrder,
    PeriodYear,
    FieldNull,
    CompanyZipCity,
    // notices
    BothCertificateKinds,
    CompanyCarWithoutF,
    MissingKindText,
    NoPlaceDate,
    AddressLine,
    DuplicateAhv,
    PersonNotFound,
    NameParticle,
    Windows1252,
};

struct CheckRuleInfo
{
    CheckRule rule;
    CheckSeverity severity;
    const char* name; // UTF-8
};

// Every rule, errors first, in the order above.
const std::array<CheckRuleInfo, 20>& checkRules();
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
