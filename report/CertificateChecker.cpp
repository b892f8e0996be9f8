#include "report/CertificateChecker.h"

#include "platform/LaError.h"
#include "platform/Windows1252.h"
#include "report/AhvNumber.h"
#include "report/CsvText.h"
#include "report/FontCoverage.h"
#include "report/FormTextWidth.h"
#include "report/PersonTable.h"

#include <QDate>
#include <QRegularExpression>
#include <cmath>

namespace {

// The PDF run starts a new document, and reads the company part afresh, every 200 rows of a company.
constexpr qint64 kRowsPerDocument = 200;

struct Item
{
    FieldAt field;
    const char* number;
};

// The amounts of the form, items 1 to 13.
constexpr Item kAmounts[] = {
    {Field::EB0100, "1"},      {Field::EB0210, "2.1"},    {Field::EB0220, "2.2"},    {Field::EB0230, "2.3"},
    {Field::EB0300, "3"},      {Field::EB0400, "4"},      {Field::EB0500, "5"},      {Field::EB0600, "6"},
    {Field::EB0700, "7"},      {Field::EB0800, "8"},      {Field::EB0900, "9"},      {Field::EB1010, "10.1"},
    {Field::EB1020, "10.2"},   {Field::EB1100, "11"},     {Field::EB1200, "12"},     {Field::EB1311, "13.1.1"},
    {Field::EB1312, "13.1.2"}, {Field::EB1321, "13.2.1"}, {Field::EB1322, "13.2.2"}, {Field::EB1323, "13.2.3"},
    {Field::EB1330, "13.3"},
};

// Items whose amount needs the "Art" text beside it.
struct KindText
{
    FieldAt amount;
    FieldAt text;
    const char* number;
};
constexpr KindText kKindTexts[] = {
    {Field::EB0230, Field::ET0230, "2.3"},
    {Field::EB0300, Field::ET0300, "3"},
    {Field::EB0400, Field::ET0400, "4"},
    {Field::EB0700, Field::ET0700, "7"},
    {Field::EB1312, Field::ET1312, "13.1.2"},
    {Field::EB1323, Field::ET1323, "13.2.3"},
};

struct Required
{
    FieldAt field;
    const char* label;
    bool csvToo; // the import file stops there as well
};

// Texts of the company part, read from the first row of every document.
constexpr Required kHeadTexts[] = {
    {Field::EFLDI2, "Name der Firma", false},
    {Field::EFLDI3, "Strasse der Firma", false},
    {Field::EFLDI4, "PLZ und Ort der Firma", false},
    {Field::EFLDD, "Jahr", false},
    {Field::EFLDI5, "Kontaktperson", true},
    {Field::EFLDI6, "Telefon der Kontaktperson", false},
};

// Texts of the staff block, read from every row.
constexpr Required kBodyTexts[] = {
    {Field::EFLDC1, "AHV-Nummer", false},
    {Field::EFLDC2, "Neue AHV-Nummer", false},
    {Field::EFLDH1, "Name", true},
    {Field::EFLDH3, "Strasse", true},
    {Field::EFLDH5, "Postleitzahl", false},
    {Field::EFLDH6, "Ort", true},
    {Field::ET0230, "Art zu Ziffer 2.3", false},
    {Field::ET0300, "Art zu Ziffer 3", false},
    {Field::ET0400, "Art zu Ziffer 4", false},
    {Field::ET0700, "Art zu Ziffer 7", false},
    {Field::ET1312, "Art zu Ziffer 13.1.2", false},
    {Field::ET1323, "Art zu Ziffer 13.2.3", false},
    {Field::ET1410, "Ziffer 14, Zeile 1", false},
    {Field::ET1420, "Ziffer 14, Zeile 2", false},
    {Field::ET1510, "Bemerkungen, Zeile 1", false},
    {Field::ET1520, "Bemerkungen, Zeile 2", false},
};

// The employee's address as the tax office and the import file need it.
constexpr Required kAddress[] = {
    {Field::EFLDH1, "Name", true},
    {Field::EFLDH3, "Strasse", true},
    {Field::EFLDH5, "Postleitzahl", true},
    {Field::EFLDH6, "Ort", true},
};

// The boxes of the printed form that take a text, as the style sheet sizes them: width in mm, lines,
// the smallest font size in pt before the text is cut, and the item label in front of the text.
// A second field is printed after the first with one blank between.
struct TextBox
{
    FieldAt field;
    FieldAt joined; // the same field when there is no second one
    const char* what;
    double widthMm;
    int lines;
    double minPt;
    const char* label;
    bool companyPart;
};
constexpr TextBox kTextBoxes[] = {
    {Field::EFLDH1, Field::EFLDH1, "Name", 80, 2, 7, nullptr, false},
    {Field::EFLDH2, Field::EFLDH2, "Adresszeile vor der Strasse", 80, 1, 7, nullptr, false},
    {Field::EFLDH3, Field::EFLDH3, "Strasse", 80, 1, 7, nullptr, false},
    {Field::EFLDH4, Field::EFLDH4, "Adresszeile nach der Strasse", 80, 1, 7, nullptr, false},
    {Field::EFLDH5, Field::EFLDH6, "PLZ und Ort", 80, 1, 7, nullptr, false},
    {Field::EFLDC1, Field::EFLDC1, "AHV-Nummer", 41, 1, 6.5, nullptr, false},
    {Field::EFLDC2, Field::EFLDC2, "Neue AHV-Nummer", 45, 1, 6.5, nullptr, false},
    {Field::ET0230, Field::ET0230, "Art zu Ziffer 2.3", 131, 1, 6, "Andere", false},
    {Field::ET0300, Field::ET0300, "Art zu Ziffer 3", 135, 1, 6, "Unregelmässige Leistungen", false},
    {Field::ET0400, Field::ET0400, "Art zu Ziffer 4", 135, 1, 6, "Kapitalleistungen", false},
    {Field::ET0700, Field::ET0700, "Art zu Ziffer 7", 135, 1, 6, "Andere Leistungen", false},
    {Field::ET1312, Field::ET1312, "Art zu Ziffer 13.1.2", 127, 1, 6, "Übrige", false},
    {Field::ET1323, Field::ET1323, "Art zu Ziffer 13.2.3", 127, 1, 6, "Übrige", false},
    {Field::ET1410, Field::ET1420, "Ziffer 14", 171, 3, 6, "Weitere Gehaltsnebenleistungen", false},
    {Field::ET1510, Field::ET1520, "Bemerkungen", 171, 3, 6, "Bemerkungen", false},
    {Field::EFLDD, Field::EFLDD, "Jahr", 21, 1, 6.5, nullptr, true},
    {Field::EFLDI1, Field::EFLDI1, "Ort und Datum", 46, 2, 7, nullptr, true},
    {Field::EFLDI2, Field::EFLDI2, "Name der Firma", 130, 1, 6.5, nullptr, true},
    {Field::EFLDI3, Field::EFLDI3, "Strasse der Firma", 130, 1, 6.5, nullptr, true},
    {Field::EFLDI4, Field::EFLDI4, "PLZ und Ort der Firma", 130, 1, 6.5, nullptr, true},
    {Field::EFLDI5, Field::EFLDI5, "Kontaktperson", 60, 1, 6, nullptr, true},
    {Field::EFLDI6, Field::EFLDI6, "Telefon der Kontaktperson", 38, 1, 6, nullptr, true},
};

// Where a field goes: onto the printed certificate, into the import file, and whether with every row
// or with the company part (the first row of a document, or the company line).
struct Place
{
    bool printed = false;
    bool imported = false;
    bool company = false;
};

constexpr std::array<Place, Field::All.size()> fieldPlaces()
{
    std::array<Place, Field::All.size()> places{};
    for (std::size_t i = 0; i < Field::All.size(); ++i) {
        const std::string_view name(Field::All[i].data(), Field::All[i].size());
        const bool flag = name == "EFLDA" || name == "EFLDB" || name == "EFLDF" || name == "EFLDG" ||
                          name == "EFLDH0" || name == "ET1311";
        places[i].printed = !flag && name != "EGEBDT" && name != "EFLDE1" && name != "EFLDE2";
        places[i].imported =
            name != "EFLDH0" && name != "EFLDI1" && name != "EFLDC1" && name != "EB0800" && name != "EB1100";
        places[i].company = name.starts_with("EFLDI") || name == "EFLDD";
    }
    return places;
}
constexpr std::array<Place, Field::All.size()> kPlaces = fieldPlaces();

// First words that are name particles: the import file's split after the first word would make
// them the surname.
const QStringList& nameParticles()
{
    static const QStringList particles{QStringLiteral("von"),
                                       QStringLiteral("de"),
                                       QStringLiteral("da"),
                                       QStringLiteral("di"),
                                       QStringLiteral("van"),
                                       QStringLiteral("del"),
                                       QStringLiteral("della"),
                                       QStringLiteral("dos"),
                                       QStringLiteral("du"),
                                       QStringLiteral("le"),
                                       QStringLiteral("la")};
    return particles;
}

// A value as text for a finding; never throws. A floating column may hold infinity or NaN, which
// have no number text.
QString safeText(const Variant& value)
{
    if (value.isNull())
        return {};
    if (value.kind() == Variant::Kind::Double && !std::isfinite(value.toDouble())) {
        const double d = value.toDouble();
        return std::isnan(d) ? QStringLiteral("NaN") : d < 0 ? QStringLiteral("-Infinity") : QStringLiteral("Infinity");
    }
    try {
        return value.toText();
    } catch (const LaError&) {
        return {};
    }
}

// Values are compared as the host gives them, but CHAR columns come padded with blanks.
QString shown(const Variant& value)
{
    return CsvText::trimTrailingBlanks(safeText(value));
}

bool allBlanks(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

bool blank(const Variant& value)
{
    return value.isNull() || allBlanks(safeText(value));
}

QString swissDay(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

// A long text cut for the finding, so that the table stays readable.
QString excerpt(const QString& text)
{
    constexpr qsizetype kShown = 40;
    return text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("…");
}

// A cell beginning like this is taken for a formula by a spreadsheet that opens the import file.
// "+41 44 123 45 67" or "-5" are numbers and harmless; anything else after the sign is not.
bool looksLikeFormula(const QString& text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first == u'=' || first == u'@')
        return true;
    if (first != u'+' && first != u'-')
        return false;
    return std::any_of(
        text.cbegin() + 1, text.cend(), [](QChar c) { return !(c.isDigit() || QStringView(u" .,'/()-").contains(c)); });
}

} // namespace

// One entry per rule, in the order of CheckRule; check() applies them in this order.
struct CertificateChecker::Rules
{
    using Check = void (*)(CertificateChecker&);
    struct Entry
    {
        CheckRule rule;
        Check check;
    };

    static void amountNotNumber(CertificateChecker& c)
    {
        for (const Item& item : kAmounts) {
            const Variant& v = c.value(item.field);
            if (!v.isNull() && !c.amount(item.field))
                c.add(CheckRule::AmountNotNumber,
                      QStringLiteral("Ziffer %1 (%2) ist keine Zahl: '%3'.")
                          .arg(QLatin1String(item.number), QString(item.field.name), safeText(v)));
        }
    }

    static void grossSum(CertificateChecker& c)
    {
        // A missing or unreadable part is reported by its own rule; a sum over it would only repeat that.
        static constexpr FieldAt parts[] = {Field::EB0100,
                                            Field::EB0210,
                                            Field::EB0220,
                                            Field::EB0230,
                                            Field::EB0300,
                                            Field::EB0400,
                                            Field::EB0500,
                                            Field::EB0600,
                                            Field::EB0700};
        const std::optional<Amount>& gross = c.amount(Field::EB0800);
        if (!gross || !std::all_of(std::begin(parts), std::end(parts), [&](FieldAt f) { return c.amount(f); }))
            return;
        Amount sum;
        for (const FieldAt f : parts)
            sum = sum + *c.amount(f);
        if (!(sum == *gross))
            c.add(CheckRule::GrossSum,
                  QStringLiteral("Ziffer 8 (%1) ist nicht die Summe der Ziffern 1–7 (%2).")
                      .arg(gross->toSwiss(), sum.toSwiss()));
    }

    static void netSum(CertificateChecker& c)
    {
        const auto& gross = c.amount(Field::EB0800);
        const auto& net = c.amount(Field::EB1100);
        if (!gross || !net || !c.amount(Field::EB0900) || !c.amount(Field::EB1010) || !c.amount(Field::EB1020))
            return;
        const Amount expected = *gross - *c.amount(Field::EB0900) - *c.amount(Field::EB1010) - *c.amount(Field::EB1020);
        if (!(expected == *net))
            c.add(CheckRule::NetSum,
                  QStringLiteral("Ziffer 11 (%1) ist nicht Ziffer 8 abzüglich der Ziffern 9, 10.1 und 10.2 (%2).")
                      .arg(net->toSwiss(), expected.toSwiss()));
    }

    static void negativeAmount(CertificateChecker& c)
    {
        for (const Item& item : kAmounts) {
            if (const auto& a = c.amount(item.field); a && a->isNegative())
                c.add(CheckRule::NegativeAmount,
                      QStringLiteral("Ziffer %1 (%2) ist negativ: %3.")
                          .arg(QLatin1String(item.number), QString(item.field.name), a->toSwiss()));
        }
    }

    static void withholdingAboveGross(CertificateChecker& c)
    {
        const auto& gross = c.amount(Field::EB0800);
        const auto& withheld = c.amount(Field::EB1200);
        if (gross && withheld && *gross < *withheld)
            c.add(CheckRule::WithholdingAboveGross,
                  QStringLiteral("Der Quellensteuerabzug, Ziffer 12 (%1), ist grösser als der Bruttolohn, "
                                 "Ziffer 8 (%2).")
                      .arg(withheld->toSwiss(), gross->toSwiss()));
    }

    static void noCertificateKind(CertificateChecker& c)
    {
        if (!isFlagSet(c.value(Field::EFLDA)) && !isFlagSet(c.value(Field::EFLDB)))
            c.add(CheckRule::NoCertificateKind,
                  QStringLiteral("Weder A (Lohnausweis) noch B (Rentenbescheinigung) ist angekreuzt."));
    }

    static void ahvNumber(CertificateChecker& c)
    {
        if (c.value(Field::EFLDC2).isNull())
            return; // reported as a field without value
        switch (::checkAhvNumber(c.m_ahv)) {
        case AhvProblem::Form:
            c.add(
                CheckRule::AhvNumber,
                QStringLiteral("Die neue AHV-Nummer (EFLDC2) '%1' hat nicht die Form 756.XXXX.XXXX.XX.").arg(c.m_ahv));
            return;
        case AhvProblem::CheckDigit:
            c.add(CheckRule::AhvNumber,
                  QStringLiteral("Die Prüfziffer der neuen AHV-Nummer %1 stimmt nicht.").arg(c.m_ahv));
            return;
        case AhvProblem::None:
            return;
        }
    }

    static void ahvTwoPeople(CertificateChecker& c)
    {
        // Once per person line; the tax office files a certificate under its number.
        if (!c.m_personStart || c.m_ahv.trimmed().isEmpty())
            return;
        const auto it = c.m_ahvNames.constFind(c.m_ahv);
        if (it == c.m_ahvNames.constEnd())
            c.m_ahvNames.insert(c.m_ahv, c.m_employee);
        else if (it.value().simplified().compare(c.m_employee.simplified(), Qt::CaseInsensitive) != 0)
            c.add(CheckRule::AhvTwoPeople,
                  QStringLiteral("Die neue AHV-Nummer %1 steht schon auf dem Lohnausweis von '%2'; zwei Personen "
                                 "können nicht dieselbe Nummer haben.")
                      .arg(c.m_ahv, it.value()));
    }

    static void periodDate(CertificateChecker& c)
    {
        static constexpr FieldAt fields[2] = {Field::EFLDE1, Field::EFLDE2};
        for (int i = 0; i < 2; ++i) {
            const Variant& v = c.value(fields[i]);
            const QString name = i == 0 ? QStringLiteral("von") : QStringLiteral("bis");
            if (blank(v))
                c.add(CheckRule::PeriodDate,
                      QStringLiteral("Periode %1 (%2) fehlt.").arg(name, QString(fields[i].name)));
            else if (!c.m_period[i])
                c.add(CheckRule::PeriodDate,
                      QStringLiteral("Periode %1 (%2) '%3' ist kein gültiges Datum.")
                          .arg(name, QString(fields[i].name), shown(v)));
        }
    }

    static void periodOrder(CertificateChecker& c)
    {
        if (c.m_period[0] && c.m_period[1] && *c.m_period[0] > *c.m_period[1])
            c.add(CheckRule::PeriodOrder,
                  QStringLiteral("Periode: von %1 liegt nach bis %2.")
                      .arg(swissDay(*c.m_period[0]), swissDay(*c.m_period[1])));
    }

    static void periodYear(CertificateChecker& c)
    {
        const Variant& yearValue = c.value(Field::EFLDD);
        if (!c.m_period[0] || !c.m_period[1] || yearValue.isNull())
            return; // reported as a date or a field without value
        const QString yearText = CsvText::trimBlanks(safeText(yearValue));
        bool numeric = false;
        const int year = yearText.toInt(&numeric);
        if (!numeric || yearText.size() != 4)
            c.add(CheckRule::PeriodYear,
                  QStringLiteral("Jahr (EFLDD) '%1' ist keine Jahreszahl; die Periode lässt sich nicht zuordnen.")
                      .arg(yearText));
        else if (c.m_period[0]->year() != year || c.m_period[1]->year() != year)
            c.add(CheckRule::PeriodYear,
                  QStringLiteral("Periode %1 – %2 liegt nicht im Jahr %3 (Feld D).")
                      .arg(swissDay(*c.m_period[0]), swissDay(*c.m_period[1]), yearText));
    }

    static QString nullTextFinding(const Required& r)
    {
        return QStringLiteral("%1 (%2) hat keinen Wert (Null); %3.")
            .arg(QString::fromUtf8(r.label),
                 QString(r.field.name),
                 r.csvToo ? QStringLiteral("PDF-Lauf und eLohnausweis-Datei brechen hier ab")
                          : QStringLiteral("der PDF-Lauf bricht hier ab"));
    }

    static void fieldNull(CertificateChecker& c)
    {
        if (c.m_documentStart) {
            for (const Required& r : kHeadTexts) {
                if (c.value(r.field).isNull())
                    c.add(CheckRule::FieldNull, nullTextFinding(r), true);
            }
        }
        for (const Required& r : kBodyTexts) {
            if (c.value(r.field).isNull())
                c.add(CheckRule::FieldNull, nullTextFinding(r));
        }
        for (const Item& item : kAmounts) {
            if (c.value(item.field).isNull())
                c.add(CheckRule::FieldNull,
                      QStringLiteral("Ziffer %1 (%2) hat keinen Wert (Null); der PDF-Lauf bricht hier ab.")
                          .arg(QLatin1String(item.number), QString(item.field.name)));
        }
        if (c.m_lookup == Lookup::CantonNull)
            c.add(CheckRule::FieldNull,
                  QStringLiteral("Der Kanton (PKTON) der Person in LGHPS hat keinen Wert (Null); die "
                                 "eLohnausweis-Datei bricht hier ab."));
    }

    static void blankNameAddress(CertificateChecker& c)
    {
        // Null is a field without value; an empty or blank text gives a person line without a name.
        QStringList empty;
        for (const Required& r : kAddress) {
            const Variant& v = c.value(r.field);
            if (!v.isNull() && blank(v))
                empty.append(QStringLiteral("%1 (%2)").arg(QString::fromUtf8(r.label), QString(r.field.name)));
        }
        if (!empty.isEmpty())
            c.add(CheckRule::BlankNameAddress,
                  QStringLiteral("Leer: %1. Das Steueramt kann den Lohnausweis so nicht zuordnen, und die "
                                 "eLohnausweis-Datei erhält eine unvollständige Personenzeile.")
                      .arg(empty.join(QStringLiteral(", "))));
    }

    static void companyZipCity(CertificateChecker& c)
    {
        const Variant& zipCity = c.value(Field::EFLDI4);
        if (!c.m_companyStart || zipCity.isNull())
            return;
        const QString text = safeText(zipCity);
        const bool fourDigits = text.size() >= 6 && std::all_of(text.cbegin(), text.cbegin() + 4, [](QChar ch) {
                                    return ch >= u'0' && ch <= u'9';
                                });
        if (!fourDigits || text[4] != u' ' || CsvText::trimBlanks(text.mid(5)).isEmpty() || text[5] == u' ')
            c.add(CheckRule::CompanyZipCity,
                  QStringLiteral("PLZ und Ort der Firma (EFLDI4) '%1' haben nicht die Form \"8000 Zürich\" "
                                 "(vier Ziffern, ein Leerschlag, Ort); die eLohnausweis-Datei trennt sie falsch.")
                      .arg(CsvText::trimTrailingBlanks(text)),
                  true);
    }

    static void missingKindText(CertificateChecker& c)
    {
        for (const KindText& k : kKindTexts) {
            const auto& a = c.amount(k.amount);
            const Variant& text = c.value(k.text);
            // A Null text is reported as a field without value.
            if (a && !a->isZero() && !text.isNull() && blank(text))
                c.add(CheckRule::MissingKindText,
                      QStringLiteral("Ziffer %1 (%2) ohne Angabe der Art (%3); das Formular verlangt sie.")
                          .arg(QLatin1String(k.number), a->toSwiss(), QString(k.text.name)));
        }
    }

    static void bothCertificateKinds(CertificateChecker& c)
    {
        if (isFlagSet(c.value(Field::EFLDA)) && isFlagSet(c.value(Field::EFLDB)))
            c.add(CheckRule::BothCertificateKinds,
                  QStringLiteral("A (Lohnausweis) und B (Rentenbescheinigung) sind beide angekreuzt; es gilt A."));
    }

    static void annuityWithDeductions(CertificateChecker& c)
    {
        if (isFlagSet(c.value(Field::EFLDA)) || !isFlagSet(c.value(Field::EFLDB)))
            return;
        QStringList deducted;
        for (const Item& item : {Item{Field::EB0900, "9"}, Item{Field::EB1010, "10.1"}, Item{Field::EB1020, "10.2"}}) {
            if (const auto& a = c.amount(item.field); a && !a->isZero())
                deducted.append(QStringLiteral("Ziffer %1 (%2)").arg(QLatin1String(item.number), a->toSwiss()));
        }
        if (!deducted.isEmpty())
            c.add(CheckRule::AnnuityWithDeductions,
                  QStringLiteral("Rentenbescheinigung (B) mit Abzügen für AHV oder Pensionskasse: %1. Von Renten "
                                 "werden diese Beiträge in der Regel nicht abgezogen; bitte prüfen.")
                      .arg(deducted.join(QStringLiteral(", "))));
    }

    static void allZero(CertificateChecker& c)
    {
        if (std::all_of(std::begin(kAmounts), std::end(kAmounts), [&](const Item& item) {
                return c.amount(item.field) && c.amount(item.field)->isZero();
            }))
            c.add(CheckRule::AllZero,
                  QStringLiteral("Alle Beträge sind 0: ein leerer Lohnausweis. Ist die Person hier richtig?"));
    }

    static void amountWithCents(CertificateChecker& c)
    {
        QStringList withCents;
        for (const Item& item : kAmounts) {
            if (const auto& a = c.amount(item.field); a && !a->isWhole())
                withCents.append(QStringLiteral("Ziffer %1 (%2)").arg(QLatin1String(item.number), a->toSwiss()));
        }
        if (!withCents.isEmpty())
            c.add(CheckRule::AmountWithCents,
                  QStringLiteral("Beträge mit Rappen: %1. Der Lohnausweis wird in ganzen Franken ausgefüllt.")
                      .arg(withCents.join(QStringLiteral(", "))));
    }

    static void lumpSumWithoutApproval(CertificateChecker& c)
    {
        static constexpr FieldAt lumpSums[] = {Field::EB1321, Field::EB1322, Field::EB1323};
        const bool lumpSum = std::any_of(
            std::begin(lumpSums), std::end(lumpSums), [&](FieldAt f) { return c.amount(f) && !c.amount(f)->isZero(); });
        if (!lumpSum)
            return;
        // The remark reads like "Spesenreglement durch Kanton ZH am 15.03.2024 genehmigt".
        static const QRegularExpression approved(QStringLiteral("genehmig|approuv|approvat"),
                                                 QRegularExpression::CaseInsensitiveOption);
        const QString remark = safeText(c.value(Field::ET1510)) + u' ' + safeText(c.value(Field::ET1520));
        if (!remark.contains(approved))
            c.add(CheckRule::LumpSumWithoutApproval,
                  QStringLiteral("Pauschalspesen (Ziffer 13.2) ohne Bemerkung in Ziffer 15, dass das "
                                 "Spesenreglement genehmigt ist (z. B. \"Spesenreglement durch Kanton ZH am "
                                 "15.03.2024 genehmigt\")."));
    }

    static void carAndCarLumpSum(CertificateChecker& c)
    {
        const auto& car = c.amount(Field::EB0220);
        const auto& lumpSum = c.amount(Field::EB1322);
        if (car && lumpSum && !car->isZero() && !car->isNegative() && !lumpSum->isZero() && !lumpSum->isNegative())
            c.add(CheckRule::CarAndCarLumpSum,
                  QStringLiteral("Privatanteil Geschäftsfahrzeug (Ziffer 2.2, %1) und Autopauschale (Ziffer "
                                 "13.2.2, %2) zusammen: wer ein Geschäftsfahrzeug hat, erhält nach unserem Stand "
                                 "der Wegleitung keine Autopauschale; bitte prüfen.")
                      .arg(car->toSwiss(), lumpSum->toSwiss()));
    }

    static void noPlaceDate(CertificateChecker& c)
    {
        if (c.m_companyStart && blank(c.value(Field::EFLDI1)))
            c.add(CheckRule::NoPlaceDate,
                  QStringLiteral("Ort und Datum (EFLDI1) fehlen; die Lohnausweise der Firma werden ohne sie gedruckt."),
                  true);
    }

    static void placeDateBeforeEnd(CertificateChecker& c)
    {
        // Once per company: its documents carry one place and date.
        if (c.m_placeDateReported || !c.m_placeDate || !c.m_period[1] || !(*c.m_placeDate < *c.m_period[1]))
            return;
        c.m_placeDateReported = true;
        c.add(CheckRule::PlaceDateBeforeEnd,
              QStringLiteral("Ort und Datum (EFLDI1) '%1' liegen vor dem Ende der Periode %2 (von '%3'); ein "
                             "Lohnausweis wird erst nach der Periode ausgestellt.")
                  .arg(shown(c.value(Field::EFLDI1)), swissDay(*c.m_period[1]), c.m_employee),
              true);
    }

    static void duplicateAhv(CertificateChecker& c)
    {
        // A person may have two certificates of one company in a year (left and came back); another
        // person under the same number is an error of its own.
        if (c.value(Field::EFLDC2).isNull() || ::checkAhvNumber(c.m_ahv) != AhvProblem::None)
            return;
        const QString year = CsvText::trimBlanks(safeText(c.value(Field::EFLDD)));
        const std::pair<QString, QString> key{c.m_ahv, year};
        if (const auto it = c.m_ahvSeen.constFind(key); it == c.m_ahvSeen.constEnd())
            c.m_ahvSeen.insert(key, c.m_employee);
        else if (it.value() == c.m_employee)
            c.add(CheckRule::DuplicateAhv,
                  QStringLiteral("Die neue AHV-Nummer %1 steht im Jahr %2 schon auf einem Lohnausweis dieser Firma "
                                 "('%3').")
                      .arg(c.m_ahv, year, it.value()));
    }

    static void personNotFound(CertificateChecker& c)
    {
        if (c.m_lookup == Lookup::NotFound)
            c.add(CheckRule::PersonNotFound,
                  QStringLiteral("Die Person ist in LGHPS nicht zu finden (Name, Strasse und Ort); die "
                                 "eLohnausweis-Datei schreibt Geschlecht M und keinen Kanton."));
    }

    static void nameParticle(CertificateChecker& c)
    {
        const Variant& name = c.value(Field::EFLDH1);
        if (!c.m_personStart || name.isNull())
            return;
        const CsvText::FirstWordSplit split = CsvText::splitFirstWord(safeText(name));
        if (nameParticles().contains(split.word, Qt::CaseInsensitive))
            c.add(CheckRule::NameParticle,
                  QStringLiteral("Der Name '%1' beginnt mit '%2': die eLohnausweis-Datei nimmt '%2' als Nachnamen "
                                 "und '%3' als Vornamen.")
                      .arg(c.m_employee, split.word, split.rest));
    }

    // The text fields of the row that go to the import file (imported) or onto the certificate, with
    // the company's fields only where the output reads them.
    template <typename Use> static void eachText(CertificateChecker& c, bool imported, bool companyRow, Use use)
    {
        for (std::size_t i = 0; i < Field::All.size(); ++i) {
            const Place& place = kPlaces[i];
            if (!(imported ? place.imported : place.printed) || (place.company && !companyRow))
                continue;
            const Variant& v = (*c.m_row)[i];
            if (v.kind() == Variant::Kind::Text)
                use(Field::All[i], v.toText());
        }
    }

    static void windows1252(CertificateChecker& c)
    {
        QStringList problems;
        eachText(c, true, c.m_companyStart, [&](QLatin1String field, const QString& text) {
            if (const QString outside = charactersOutsideWindows1252(text); !outside.isEmpty())
                problems.append(QStringLiteral("%1 '%2'").arg(QString(field), outside));
        });
        if (!problems.isEmpty())
            c.add(CheckRule::Windows1252,
                  QStringLiteral("Zeichen, die die eLohnausweis-Datei (Windows-1252) nicht kennt und ersetzt: %1.")
                      .arg(problems.join(QStringLiteral(", "))));
    }

    static void unprintable(CertificateChecker& c)
    {
        const FontCoverage& fonts = FontCoverage::certificateFonts();
        QStringList problems;
        eachText(c, false, c.m_documentStart, [&](QLatin1String field, const QString& text) {
            if (const QString missing = fonts.missing(text); !missing.isEmpty())
                problems.append(QStringLiteral("%1 '%2'").arg(QString(field), missing));
        });
        if (!problems.isEmpty())
            c.add(CheckRule::Unprintable,
                  QStringLiteral("Zeichen, für die die Schriften des Lohnausweises keine Form haben; das PDF zeigt "
                                 "\"#\" an ihrer Stelle: %1.")
                      .arg(problems.join(QStringLiteral(", "))));
    }

    static void formulaStart(CertificateChecker& c)
    {
        QStringList cells;
        eachText(c, true, c.m_companyStart, [&](QLatin1String field, const QString& text) {
            if (looksLikeFormula(text))
                cells.append(QStringLiteral("%1 '%2'").arg(QString(field), excerpt(text)));
        });
        if (!cells.isEmpty())
            c.add(CheckRule::FormulaStart,
                  QStringLiteral("Werte, die mit = + - oder @ beginnen: ein Tabellenprogramm, das die "
                                 "eLohnausweis-Datei öffnet, nimmt sie für Formeln: %1.")
                      .arg(cells.join(QStringLiteral(", "))));
    }

    static void textTooLong(CertificateChecker& c)
    {
        for (const TextBox& box : kTextBoxes) {
            if (box.companyPart && !c.m_documentStart)
                continue;
            QString text = safeText(c.value(box.field));
            if (box.joined.index != box.field.index)
                text += u' ' + safeText(c.value(box.joined));
            text = text.simplified();
            const double lead = box.label ? FormTextWidth::labelLead(QString::fromUtf8(box.label)) : 0.0;
            if (FormTextWidth::fits(text, box.widthMm, box.lines, box.minPt, lead))
                continue;
            const QString fields = box.joined.index == box.field.index
                                       ? QString(box.field.name)
                                       : QString(box.field.name) + u'/' + QString(box.joined.name);
            c.add(CheckRule::TextTooLong,
                  QStringLiteral("%1 (%2, %3 Zeichen) ist zu lang für sein Feld auf dem Lohnausweis; der Ausdruck "
                                 "kürzt ihn mit \"…\": '%4'.")
                      .arg(QString::fromUtf8(box.what), fields)
                      .arg(text.size())
                      .arg(excerpt(text)),
                  box.companyPart);
        }
    }

    static constexpr Entry kTable[] = {
        {CheckRule::AmountNotNumber, amountNotNumber},
        {CheckRule::GrossSum, grossSum},
        {CheckRule::NetSum, netSum},
        {CheckRule::NegativeAmount, negativeAmount},
        {CheckRule::WithholdingAboveGross, withholdingAboveGross},
        {CheckRule::NoCertificateKind, noCertificateKind},
        {CheckRule::AhvNumber, ahvNumber},
        {CheckRule::AhvTwoPeople, ahvTwoPeople},
        {CheckRule::PeriodDate, periodDate},
        {CheckRule::PeriodOrder, periodOrder},
        {CheckRule::PeriodYear, periodYear},
        {CheckRule::FieldNull, fieldNull},
        {CheckRule::BlankNameAddress, blankNameAddress},
        {CheckRule::CompanyZipCity, companyZipCity},
        {CheckRule::MissingKindText, missingKindText},
        {CheckRule::BothCertificateKinds, bothCertificateKinds},
        {CheckRule::AnnuityWithDeductions, annuityWithDeductions},
        {CheckRule::AllZero, allZero},
        {CheckRule::AmountWithCents, amountWithCents},
        {CheckRule::LumpSumWithoutApproval, lumpSumWithoutApproval},
        {CheckRule::CarAndCarLumpSum, carAndCarLumpSum},
        {CheckRule::NoPlaceDate, noPlaceDate},
        {CheckRule::PlaceDateBeforeEnd, placeDateBeforeEnd},
        {CheckRule::DuplicateAhv, duplicateAhv},
        {CheckRule::PersonNotFound, personNotFound},
        {CheckRule::NameParticle, nameParticle},
        {CheckRule::Windows1252, windows1252},
        {CheckRule::Unprintable, unprintable},
        {CheckRule::FormulaStart, formulaStart},
        {CheckRule::TextTooLong, textTooLong},
    };

    static constexpr bool tableComplete()
    {
        if (std::size(kTable) != kCheckRuleCount)
            return false;
        for (std::size_t i = 0; i < std::size(kTable); ++i) {
            if (std::size_t(kTable[i].rule) != i)
                return false;
        }
        return true;
    }
};

CertificateChecker::CertificateChecker(const PersonTable* persons)
    : m_persons(persons)
{
}

qsizetype CertificateChecker::count(CheckSeverity severity) const
{
    return std::count_if(
        m_findings.cbegin(), m_findings.cend(), [severity](const CheckFinding& f) { return f.severity() == severity; });
}

void CertificateChecker::add(CheckRule rule, const QString& text, bool forCompany)
{
    m_findings.append({rule, m_company, forCompany ? QString() : m_employee, forCompany ? QString() : m_ahv, text});
}

std::optional<QDate> CertificateChecker::dateOf(int which, const Variant& value)
{
    // Most certificates of a payroll share their period: recognising a text date is worth keeping.
    const bool text = value.kind() == Variant::Kind::Text;
    DateMemo& memo = m_dateMemo[which];
    if (text && memo.valid && memo.text == value.toText())
        return memo.date;
    const std::optional<QDate> date = value.isDate() ? std::optional<QDate>(value.toDate()) : std::nullopt;
    if (text)
        memo = {true, value.toText(), date};
    return date;
}

void CertificateChecker::check(const CheckRow& row)
{
    m_row = &row;
    const QString company = safeText(value(Field::EFLDI2));
    m_companyStart = m_rowCount == 0 || company != m_lastCompany;
    if (m_companyStart) {
        m_lastCompany = company;
        m_rowInCompany = 0;
        m_ahvSeen.clear();
        m_placeDateReported = false;
    }
    ++m_rowCount;
    m_documentStart = m_rowInCompany++ % kRowsPerDocument == 0;
    m_company = shown(value(Field::EFLDI2));
    m_employee = shown(value(Field::EFLDH1));
    m_ahv = shown(value(Field::EFLDC2));

    // The import file writes a person line where the person changes within a company.
    const std::array<QString, 3> personKey{
        safeText(value(Field::EFLDC2)), safeText(value(Field::EFLDC1)), safeText(value(Field::EFLDH1))};
    m_personStart = m_companyStart || personKey != m_lastPersonKey;
    m_lastPersonKey = personKey;
    m_lookup = Lookup::None;
    if (m_personStart && m_persons && !value(Field::EFLDH1).isNull() && !value(Field::EFLDH3).isNull() &&
        !value(Field::EFLDH6).isNull()) {
        const PersonTable::Person* person = m_persons->find(
            safeText(value(Field::EFLDH1)), safeText(value(Field::EFLDH3)), safeText(value(Field::EFLDH6)));
        m_lookup = !person ? Lookup::NotFound : person->canton.isNull() ? Lookup::CantonNull : Lookup::Found;
    }

    for (const Item& item : kAmounts)
        m_amounts[item.field.index] = Amount::fromVariant(value(item.field));
    static constexpr FieldAt periodFields[2] = {Field::EFLDE1, Field::EFLDE2};
    for (int i = 0; i < 2; ++i) {
        const Variant& v = value(periodFields[i]);
        m_period[i] = blank(v) ? std::nullopt : dateOf(i, v);
    }
    if (m_documentStart) {
        // "Zürich, 30.01.2026": the first date in the text.
        static const QRegularExpression dated(QStringLiteral("(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})"));
        const QRegularExpressionMatch m = dated.match(safeText(value(Field::EFLDI1)));
        const QDate date =
            m.hasMatch() ? QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt()) : QDate();
        m_placeDate = date.isValid() ? std::optional<QDate>(date) : std::nullopt;
    }

    static_assert(Rules::tableComplete(), "one entry per rule, in the order of CheckRule");
    for (const Rules::Entry& entry : Rules::kTable)
        entry.check(*this);
    m_row = nullptr;
}
