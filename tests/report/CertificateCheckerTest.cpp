#include "report/CertificateChecker.h"

#include "report/CheckReport.h"
#include "report/PersonTable.h"
#include "support/MemoryDb.h"

#include <QSet>
#include <gtest/gtest.h>
#include <limits>

namespace {

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

Variant d(const char* digits)
{
    return Variant::decimal(QString::fromLatin1(digits));
}

// A certificate that passes every rule: item 8 = item 1, item 11 = 8 - 9.
CheckRow validRow()
{
    CheckRow row;
    for (std::size_t i = 0; i < Field::All.size(); ++i)
        row[i] = Field::All[i].startsWith(QLatin1String("EB")) ? Variant::integer(0) : t("");
    const std::pair<QLatin1String, Variant> values[] = {
        {Field::EFLDA, t("X")},
        {Field::EFLDC2, t("756.9217.0769.85")},
        {Field::EFLDD, t("2025")},
        {Field::EFLDE1, t("01.01.2025")},
        {Field::EFLDE2, t("31.12.2025")},
        {Field::EFLDH1, t("Muster Hans")},
        {Field::EFLDH3, t("Bahnhofstrasse 1")},
        {Field::EFLDH5, t("8000")},
        {Field::EFLDH6, t("Zürich")},
        {Field::EFLDI1, t("Zürich, 30.01.2026")},
        {Field::EFLDI2, t("Muster AG")},
        {Field::EFLDI4, t("8001 Zürich")},
        {Field::EB0100, Variant::integer(50000)},
        {Field::EB0800, Variant::integer(50000)},
        {Field::EB0900, Variant::integer(5000)},
        {Field::EB1100, Variant::integer(45000)},
    };
    for (const auto& [field, value] : values)
        row[fieldIndex(field)] = value;
    return row;
}

struct Case
{
    const char* name;
    QList<std::pair<QLatin1String, Variant>> changes;
    QList<CheckRule> expected; // empty: the row just passes
    const char* textPart = "";
    int times = 1;                                       // the row fed that often
    QList<std::pair<QLatin1String, Variant>> later = {}; // changed further in the rows after the first
};

} // namespace

TEST(CertificateChecker, EachRuleTripsAndJustPasses)
{
    using R = CheckRule;
    const Variant infinity = Variant::floating(std::numeric_limits<double>::infinity());
    const Case cases[] = {
        {"valid", {}, {}},
        {"amount abc", {{Field::EB0100, t("abc")}}, {R::AmountNotNumber}, "Ziffer 1 (EB0100) ist keine Zahl: 'abc'"},
        // The PDF run refuses it too; read as 55.90 it would pass unseen.
        {"two decimal points", {{Field::EB0100, t("55.900.00")}}, {R::AmountNotNumber}, "'55.900.00'"},
        {"infinity", {{Field::EB0900, infinity}}, {R::AmountNotNumber}, "Ziffer 9 (EB0900) ist keine Zahl: 'Infinity'"},
        {"amount with blanks and sign", {{Field::EB0100, t(" +50000.00 ")}}, {}},
        // 0.1 and 0.2 are no binary fractions: their double sum is 0.30000000000000004.
        {"decimals",
         {{Field::EB0100, Variant::floating(0.1)},
          {Field::EB0210, Variant::floating(0.2)},
          {Field::EB0800, d("0.30")},
          {Field::EB0900, t("0")},
          {Field::EB1100, t("0.3")}},
         {R::AmountWithCents},
         "Ziffer 1 (0.10), Ziffer 2.1 (0.20), Ziffer 8 (0.30), Ziffer 11 (0.30)"},
        {"item 8",
         {{Field::EB0100, d("1234567.00")}, {Field::EB0800, d("1234568")}, {Field::EB1100, d("1229568")}},
         {R::GrossSum},
         "Ziffer 8 (1'234'568.00) ist nicht die Summe der Ziffern 1–7 (1'234'567.00)."},
        {"item 11", {{Field::EB1100, d("45001")}}, {R::NetSum}, "Ziffer 11 (45'001.00)"},
        {"negative", {{Field::EB1200, Variant::integer(-1)}}, {R::NegativeAmount}, "negativ: -1.00"},
        {"withholding above gross", {{Field::EB1200, Variant::integer(50001)}}, {R::WithholdingAboveGross}},
        {"withholding all of gross", {{Field::EB1200, Variant::integer(50000)}}, {}},
        {"neither A nor B", {{Field::EFLDA, t(" ")}}, {R::NoCertificateKind}},
        {"lower-case a", {{Field::EFLDA, t("x")}}, {}},
        {"A and B", {{Field::EFLDB, t("X")}}, {R::BothCertificateKinds}},
        {"check digit", {{Field::EFLDC2, t("756.9217.0769.84")}}, {R::AhvNumber}, "756.9217.0769.84 stimmt nicht"},
        {"other valid number", {{Field::EFLDC2, t("756.9203.3850.60   ")}}, {}},
        {"AHV without dots", {{Field::EFLDC2, t("7569217076985")}}, {R::AhvNumber}, "nicht die Form"},
        {"one AHV number, two people", {}, {R::AhvTwoPeople}, "'Muster Hans'", 2, {{Field::EFLDH1, t("Muster Anna")}}},
        {"two people, two numbers",
         {},
         {},
         "",
         2,
         {{Field::EFLDH1, t("Muster Anna")}, {Field::EFLDC2, t("756.9203.3850.60")}}},
        {"impossible date", {{Field::EFLDE2, t("31.02.2025")}}, {R::PeriodDate}, "'31.02.2025'"},
        {"missing date", {{Field::EFLDE1, Variant()}}, {R::PeriodDate}},
        {"ISO dates", {{Field::EFLDE1, t("2025-01-01")}, {Field::EFLDE2, Variant::date(QDate(2025, 12, 31))}}, {}},
        {"from after until", {{Field::EFLDE1, t("01.07.2025")}, {Field::EFLDE2, t("30.06.2025")}}, {R::PeriodOrder}},
        {"same day", {{Field::EFLDE1, t("31.12.2025")}}, {}},
        {"other year", {{Field::EFLDE1, t("31.12.2024")}}, {R::PeriodYear}},
        {"Null text", {{Field::EFLDI3, Variant()}}, {R::FieldNull}, "Strasse der Firma (EFLDI3)"},
        {"Null amount", {{Field::EB0300, Variant()}}, {R::FieldNull}, "Ziffer 3 (EB0300)"},
        {"blank postcode", {{Field::EFLDH5, t("  ")}}, {R::BlankNameAddress}, "Leer: Postleitzahl (EFLDH5)."},
        {"postcode and town", {{Field::EFLDI4, t("Zürich 8001")}}, {R::CompanyZipCity}},
        {"kind missing",
         {{Field::EB1312, Variant::integer(1200)}, {Field::ET1312, t("  ")}},
         {R::MissingKindText},
         "Ziffer 13.1.2 (1'200.00) ohne Angabe der Art (ET1312)"},
        {"kind given", {{Field::EB1312, Variant::integer(1200)}, {Field::ET1312, t("Büro")}}, {}},
        {"annuity with deductions", {{Field::EFLDA, t("")}, {Field::EFLDB, t("X")}}, {R::AnnuityWithDeductions}},
        {"annuity without deductions",
         {{Field::EFLDA, t("")}, {Field::EFLDB, t("X")}, {Field::EB0900, t("0")}, {Field::EB1100, t("50000")}},
         {}},
        {"all zero",
         {{Field::EB0100, t("0")}, {Field::EB0800, t("0")}, {Field::EB0900, t("0")}, {Field::EB1100, t("0.00")}},
         {R::AllZero}},
        {"lump sum without approval", {{Field::EB1321, Variant::integer(3000)}}, {R::LumpSumWithoutApproval}},
        {"lump sum approved",
         {{Field::EB1321, Variant::integer(3000)}, {Field::ET1520, t("Spesenreglement durch Kanton ZH genehmigt")}},
         {}},
        {"company car and car lump sum",
         {{Field::EB0220, Variant::integer(3600)},
          {Field::EB0800, Variant::integer(53600)},
          {Field::EB1100, t("48600")},
          {Field::EB1322, Variant::integer(2400)},
          {Field::ET1510, t("Spesenreglement genehmigt")}},
         {R::CarAndCarLumpSum},
         "Ziffer 2.2, 3'600.00"},
        // Since 2022 the private share includes the commute: F is no longer ticked for a company car.
        {"company car",
         {{Field::EB0220, Variant::integer(3600)},
          {Field::EB0800, Variant::integer(53600)},
          {Field::EB1100, t("48600")}},
         {}},
        {"Null place and date", {{Field::EFLDI1, Variant()}}, {R::NoPlaceDate}},
        {"dated before the period ends",
         {{Field::EFLDI1, t("Zürich, 15.12.2025")}},
         {R::PlaceDateBeforeEnd},
         "'Zürich, 15.12.2025' liegen vor dem Ende der Periode 31.12.2025"},
        {"dated on the last day", {{Field::EFLDI1, t("Zürich, 31.12.2025")}}, {}},
        {"same AHV twice", {}, {R::DuplicateAhv}, "", 2},
        {"not in LGHPS", {{Field::EFLDH6, t("Bern")}}, {R::PersonNotFound}},
        {"canton Null in LGHPS", {{Field::EFLDH1, t("Muster Eva")}}, {R::FieldNull}, "PKTON"},
        {"padded like CHAR", {{Field::EFLDH1, t("Muster Hans  ")}, {Field::EFLDH3, t(" Bahnhofstrasse 1 ")}}, {}},
        {"particle",
         {{Field::EFLDH1, t("von Arx Peter")}},
         {R::PersonNotFound, R::NameParticle},
         "'von' als Nachnamen und 'Arx Peter' als Vornamen"},
        // Printable, but the import file's code page lacks Ł.
        {"outside Windows-1252", {{Field::ET1510, t("Łukasz €")}}, {R::Windows1252}, "ET1510 'Ł'"},
        // Place and date are printed only, so only the fonts matter there.
        {"no glyph", {{Field::EFLDI1, t("Zürich 北京, 30.01.2026")}}, {R::Unprintable}, "EFLDI1 '北京'"},
        {"formula", {{Field::ET0230, t("=HYPERLINK(\"x\")")}}, {R::FormulaStart}, "ET0230 '=HYPERLINK(\"x\")'"},
        {"telephone number", {{Field::EFLDI6, t("+41 44 123 45 67")}, {Field::ET1520, t("-5")}}, {}},
        {"text too long",
         {{Field::ET1510, Variant::text(QString(360, u'a'))}},
         {R::TextTooLong},
         "Bemerkungen (ET1510/ET1520"},
        {"text just fits", {{Field::ET1510, Variant::text(QString(350, u'a'))}}, {}},
    };

    QSet<CheckRule> covered;
    for (const Case& c : cases) {
        const auto persons =
            fetchedRecordSet({{QStringLiteral("PNAME"),
                               QStringLiteral("PSTR"),
                               QStringLiteral("PORT"),
                               QStringLiteral("PKTON"),
                               QStringLiteral("PSEXCD")},
                              {{t("Muster Hans"), t("Bahnhofstrasse 1"), t("Zürich"), t("ZH"), Variant::integer(1)},
                               {t("Muster Anna"), t("Bahnhofstrasse 1"), t("Zürich"), t("ZH"), Variant::integer(2)},
                               {t("Muster Eva"), t("Bahnhofstrasse 1"), t("Zürich"), Variant(), Variant::integer(2)}}});
        PersonTable table;
        table.load(*persons);
        CertificateChecker checker(&table);
        CheckRow row = validRow();
        for (const auto& [field, value] : c.changes)
            row[fieldIndex(field)] = value;
        for (int i = 0; i < c.times; ++i) {
            checker.check(row);
            for (const auto& [field, value] : c.later)
                row[fieldIndex(field)] = value;
        }

        QList<CheckRule> found;
        QString texts;
        for (const CheckFinding& f : checker.findings()) {
            found.append(f.rule);
            texts += f.text + u'\n';
        }
        EXPECT_EQ(found, c.expected) << c.name << "\n" << texts.toStdString();
        EXPECT_TRUE(texts.contains(QString::fromUtf8(c.textPart))) << c.name << "\n" << texts.toStdString();
        EXPECT_EQ(checker.rowCount(), c.times);
        for (const CheckRule r : c.expected)
            covered.insert(r);
    }
    for (const CheckRuleInfo& info : checkRules())
        EXPECT_TRUE(covered.contains(info.rule)) << "no row trips " << info.name;
}

TEST(CertificateChecker, ReportsKeepHostTextsAsTextAndOnTheirLine)
{
    const CheckFinding f{CheckRule::NameParticle,
                         QStringLiteral("=HYPERLINK(\"x\")"),
                         QStringLiteral("@Meier; Hans"),
                         QString(),
                         QStringLiteral("-")};
    const QString line = QString::fromUtf8(checkReportCsv({f})).split(QStringLiteral("\r\n")).at(1);
    EXPECT_EQ(line,
              QStringLiteral("Hinweis;\"'=HYPERLINK(\"\"x\"\")\";\"'@Meier; Hans\";;") +
                  QString::fromUtf8(checkRuleInfo(CheckRule::NameParticle).name) + QStringLiteral(";'-"));

    // An escape sequence, CR or LF in a name would forge or hide lines on a terminal and in a text report.
    const CheckFinding forged{CheckRule::NameParticle,
                              QStringLiteral("Firma\r\nFehler"),
                              QStringLiteral("Meier\x1b[2K\tHans\u009b"),
                              QString(),
                              QStringLiteral("x")};
    const QString table = checkReportTable({forged});
    EXPECT_EQ(table.count(u'\n'), 2);
    EXPECT_TRUE(table.contains(QStringLiteral("Firma  Fehler  Meier [2K Hans  "))) << table.toStdString();
    EXPECT_FALSE(std::any_of(table.begin(), table.end(), [](QChar c) { return c < u' ' && c != u'\n'; }));
}
