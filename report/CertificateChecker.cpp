#include "report/CertificateChecker.h"

#include "platform/Windows1252.h"
#include "report/AhvNumber.h"
#include "report/CsvText.h"
#include "report/PersonTable.h"

#include <QDate>

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

// What a Null in a text that the outputs need does to them.
QString nullTextFinding(const Required& r)
{
    return QStringLiteral("%1 (%2) hat keinen Wert (Null); %3.")
        .arg(QString::fromUtf8(r.label),
             QString(r.field.name),
             r.csvToo ? QStringLiteral("PDF-Lauf und eLohnausweis-Datei brechen hier ab")
                      : QStringLiteral("der PDF-Lauf bricht hier ab"));
}

// Which fields the import file writes: on every certificate or person line, or on the company line.
enum class CsvPlace
{
    None,
    Row,
    Company,
};

constexpr std::array<CsvPlace, Field::All.size()> csvPlaces()
{
    std::array<CsvPlace, Field::All.size()> places{};
    for (std::size_t i = 0; i < Field::All.size(); ++i) {
        const std::string_view name(Field::All[i].data(), Field::All[i].size());
        if (name == "EFLDH0" || name == "EFLDI1" || name == "EFLDC1" || name == "EB0800" || name == "EB1100")
            places[i] = CsvPlace::None;
        else
            places[i] = name.starts_with("EFLDI") ? CsvPlace::Company : CsvPlace::Row;
    }
    return places;
}
constexpr std::array<CsvPlace, Field::All.size()> kCsvPlaces = csvPlaces();

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

// Values are compared as the host gives them, but CHAR columns come padded with blanks.
QString shown(const Variant& value)
{
    return CsvText::trimTrailingBlanks(textOrEmpty(value));
}

bool blank(const Variant& value)
{
    if (value.isNull())
        return true;
    const QString text = value.toText();
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c == u' '; });
}

QString swissDay(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

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

void CertificateChecker::check(const CheckRow& row)
{
    m_row = &row;
    const QString company = textOrEmpty(value(Field::EFLDI2));
    const bool companyStart = m_rowCount == 0 || company != m_lastCompany;
    if (companyStart) {
        m_lastCompany = company;
        m_rowInCompany = 0;
        m_ahvSeen.clear();
        m_hasPerson = false;
    }
    ++m_rowCount;
    m_company = shown(value(Field::EFLDI2));
    m_employee = shown(value(Field::EFLDH1));
    m_ahv = shown(value(Field::EFLDC2));

    if (m_rowInCompany++ % kRowsPerDocument == 0)
        checkDocumentHead(companyStart);
    checkRequiredTexts();
    checkCertificateKind();
    checkAhvNumber();
    checkPeriod();
    checkAmounts();
    checkAddressLines();
    checkPerson();
    checkCharacters(companyStart);
    m_row = nullptr;
}

void CertificateChecker::checkDocumentHead(bool companyStart)
{
    for (const Required& r : kHeadTexts) {
        if (value(r.field).isNull())
            add(CheckRule::FieldNull, nullTextFinding(r), true);
    }
    if (!companyStart)
        return;
    if (blank(value(Field::EFLDI1)))
        add(CheckRule::NoPlaceDate,
            QStringLiteral("Ort und Datum (EFLDI1) fehlen; die Lohnausweise der Firma werden ohne sie gedruckt."),
            true);
    const Variant& zipCity = value(Field::EFLDI4);
    if (!zipCity.isNull()) {
        const QString text = zipCity.toText();
        const bool fourDigits = text.size() >= 6 && std::all_of(text.cbegin(), text.cbegin() + 4, [](QChar c) {
                                    return c >= u'0' && c <= u'9';
                                });
        if (!fourDigits || text[4] != u' ' || CsvText::trimBlanks(text.mid(5)).isEmpty() || text[5] == u' ')
            add(CheckRule::CompanyZipCity,
                QStringLiteral("PLZ und Ort der Firma (EFLDI4) '%1' haben nicht die Form \"8000 Zürich\" "
                               "(vier Ziffern, ein Leerschlag, Ort); die eLohnausweis-Datei trennt sie falsch.")
                    .arg(CsvText::trimTrailingBlanks(text)),
                true);
    }
}

void CertificateChecker::checkRequiredTexts()
{
    for (const Required& r : kBodyTexts) {
        if (value(r.field).isNull())
            add(CheckRule::FieldNull, nullTextFinding(r));
    }
}

void CertificateChecker::checkCertificateKind()
{
    const bool salary = isFlagSet(value(Field::EFLDA));
    const bool annuity = isFlagSet(value(Field::EFLDB));
    if (!salary && !annuity)
        add(CheckRule::NoCertificateKind,
            QStringLiteral("Weder A (Lohnausweis) noch B (Rentenbescheinigung) ist angekreuzt."));
    else if (salary && annuity)
        add(CheckRule::BothCertificateKinds,
            QStringLiteral("A (Lohnausweis) und B (Rentenbescheinigung) sind beide angekreuzt; es gilt A."));
}

void CertificateChecker::checkAhvNumber()
{
    if (value(Field::EFLDC2).isNull())
        return; // reported as a field without value
    switch (::checkAhvNumber(m_ahv)) {
    case AhvProblem::Form:
        add(CheckRule::AhvNumber,
            QStringLiteral("Die neue AHV-Nummer (EFLDC2) '%1' hat nicht die Form 756.XXXX.XXXX.XX.").arg(m_ahv));
        return;
    case AhvProblem::CheckDigit:
        add(CheckRule::AhvNumber, QStringLiteral("Die Prüfziffer der neuen AHV-Nummer %1 stimmt nicht.").arg(m_ahv));
        return;
    case AhvProblem::None:
        break;
    }
    const QString year = CsvText::trimBlanks(textOrEmpty(value(Field::EFLDD)));
    const std::pair<QString, QString> key{m_ahv, year};
    if (const auto it = m_ahvSeen.constFind(key); it != m_ahvSeen.constEnd())
        add(CheckRule::DuplicateAhv,
            QStringLiteral("Die neue AHV-Nummer %1 steht im Jahr %2 schon auf einem Lohnausweis dieser Firma ('%3').")
                .arg(m_ahv, year, it.value()));
    else
        m_ahvSeen.insert(key, m_employee);
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

void CertificateChecker::checkPeriod()
{
    std::optional<QDate> dates[2];
    static constexpr FieldAt fields[2] = {Field::EFLDE1, Field::EFLDE2};
    for (int i = 0; i < 2; ++i) {
        const Variant& v = value(fields[i]);
        const QString name = i == 0 ? QStringLiteral("von") : QStringLiteral("bis");
        if (v.isNull() || blank(v))
            add(CheckRule::PeriodDate, QStringLiteral("Periode %1 (%2) fehlt.").arg(name, QString(fields[i].name)));
        else if (!(dates[i] = dateOf(i, v)))
            add(CheckRule::PeriodDate,
                QStringLiteral("Periode %1 (%2) '%3' ist kein gültiges Datum.")
                    .arg(name, QString(fields[i].name), CsvText::trimTrailingBlanks(v.toText())));
    }
    if (!dates[0] || !dates[1])
        return;
    if (*dates[0] > *dates[1])
        add(CheckRule::PeriodOrder,
            QStringLiteral("Periode: von %1 liegt nach bis %2.").arg(swissDay(*dates[0]), swissDay(*dates[1])));
    const Variant& yearValue = value(Field::EFLDD);
    if (yearValue.isNull())
        return; // reported as a field without value
    const QString yearText = CsvText::trimBlanks(yearValue.toText());
    bool numeric = false;
    const int year = yearText.toInt(&numeric);
    if (!numeric || yearText.size() != 4)
        add(CheckRule::PeriodYear,
            QStringLiteral("Jahr (EFLDD) '%1' ist keine Jahreszahl; die Periode lässt sich nicht zuordnen.")
                .arg(yearText));
    else if (dates[0]->year() != year || dates[1]->year() != year)
        add(CheckRule::PeriodYear,
            QStringLiteral("Periode %1 – %2 liegt nicht im Jahr %3 (Feld D).")
                .arg(swissDay(*dates[0]), swissDay(*dates[1]), yearText));
}

void CertificateChecker::checkAmounts()
{
    // By field position; only the amount fields are filled.
    std::array<std::optional<Amount>, Field::All.size()> amounts;
    for (const Item& item : kAmounts) {
        const Variant& v = value(item.field);
        const QString field(item.field.name);
        if (v.isNull()) {
            add(CheckRule::FieldNull,
                QStringLiteral("Ziffer %1 (%2) hat keinen Wert (Null); der PDF-Lauf bricht hier ab.")
                    .arg(QLatin1String(item.number), field));
            continue;
        }
        std::optional<Amount>& amount = amounts[item.field.index];
        amount = Amount::fromVariant(v);
        if (!amount)
            add(CheckRule::AmountNotNumber,
                QStringLiteral("Ziffer %1 (%2) ist keine Zahl: '%3'.")
                    .arg(QLatin1String(item.number), field, v.toText()));
        else if (amount->isNegative())
            add(CheckRule::NegativeAmount,
                QStringLiteral("Ziffer %1 (%2) ist negativ: %3.")
                    .arg(QLatin1String(item.number), field, amount->toSwiss()));
    }
    const auto at = [&amounts](FieldAt field) -> const std::optional<Amount>& { return amounts[field.index]; };

    // A missing or unreadable part is reported above; a sum over it would only repeat that.
    static constexpr FieldAt grossParts[] = {Field::EB0100,
                                             Field::EB0210,
                                             Field::EB0220,
                                             Field::EB0230,
                                             Field::EB0300,
                                             Field::EB0400,
                                             Field::EB0500,
                                             Field::EB0600,
                                             Field::EB0700};
    const std::optional<Amount>& gross = at(Field::EB0800);
    if (gross &&
        std::all_of(std::begin(grossParts), std::end(grossParts), [&](FieldAt f) { return at(f).has_value(); })) {
        Amount sum;
        for (const FieldAt f : grossParts)
            sum = sum + *at(f);
        if (!(sum == *gross))
            add(CheckRule::GrossSum,
                QStringLiteral("Ziffer 8 (%1) ist nicht die Summe der Ziffern 1–7 (%2).")
                    .arg(gross->toSwiss(), sum.toSwiss()));
    }
    const std::optional<Amount>& net = at(Field::EB1100);
    if (gross && at(Field::EB0900) && at(Field::EB1010) && at(Field::EB1020) && net) {
        const Amount expected = *gross - *at(Field::EB0900) - *at(Field::EB1010) - *at(Field::EB1020);
        if (!(expected == *net))
            add(CheckRule::NetSum,
                QStringLiteral("Ziffer 11 (%1) ist nicht Ziffer 8 abzüglich der Ziffern 9, 10.1 und 10.2 (%2).")
                    .arg(net->toSwiss(), expected.toSwiss()));
    }

    if (const auto& car = at(Field::EB0220);
        car && !car->isZero() && !car->isNegative() && !isFlagSet(value(Field::EFLDF)))
        add(CheckRule::CompanyCarWithoutF,
            QStringLiteral("Ziffer 2.2 Privatanteil Geschäftsfahrzeug (%1), aber F (unentgeltliche Beförderung) "
                           "ist nicht angekreuzt.")
                .arg(car->toSwiss()));

    for (const KindText& k : kKindTexts) {
        const auto& amount = at(k.amount);
        const Variant& text = value(k.text);
        // A Null text is reported as a field without value.
        if (amount && !amount->isZero() && !text.isNull() && blank(text))
            add(CheckRule::MissingKindText,
                QStringLiteral("Ziffer %1 (%2) ohne Angabe der Art (%3).")
                    .arg(QLatin1String(k.number), amount->toSwiss(), QString(k.text.name)));
    }
}

void CertificateChecker::checkAddressLines()
{
    if (!blank(value(Field::EFLDH2)))
        add(CheckRule::AddressLine,
            QStringLiteral("Adresszeile vor der Strasse (EFLDH2) '%1' erscheint nicht auf dem gedruckten "
                           "Lohnausweis.")
                .arg(shown(value(Field::EFLDH2))));
    if (!blank(value(Field::EFLDH4)))
        add(CheckRule::AddressLine,
            QStringLiteral("Adresszeile nach der Strasse (EFLDH4) '%1' erscheint nicht auf dem gedruckten "
                           "Lohnausweis.")
                .arg(shown(value(Field::EFLDH4))));
}

void CertificateChecker::checkPerson()
{
    // Once per person line of the import file, as that file groups a person's rows.
    const std::array<QString, 3> key{
        textOrEmpty(value(Field::EFLDC2)), textOrEmpty(value(Field::EFLDC1)), textOrEmpty(value(Field::EFLDH1))};
    if (m_hasPerson && key == m_lastPersonKey)
        return;
    m_lastPersonKey = key;
    m_hasPerson = true;
    const Variant& name = value(Field::EFLDH1);
    if (name.isNull())
        return;
    const CsvText::FirstWordSplit split = CsvText::splitFirstWord(name.toText());
    if (nameParticles().contains(split.word, Qt::CaseInsensitive))
        add(CheckRule::NameParticle,
            QStringLiteral("Der Name '%1' beginnt mit '%2': die eLohnausweis-Datei nimmt '%2' als Nachnamen "
                           "und '%3' als Vornamen.")
                .arg(m_employee, split.word, split.rest));
    const Variant& street = value(Field::EFLDH3);
    const Variant& town = value(Field::EFLDH6);
    if (!m_persons || street.isNull() || town.isNull())
        return;
    const PersonTable::Person* person = m_persons->find(name.toText(), street.toText(), town.toText());
    if (!person)
        add(CheckRule::PersonNotFound,
            QStringLiteral("Die Person ist in LGHPS nicht zu finden (Name, Strasse und Ort); die "
                           "eLohnausweis-Datei schreibt Geschlecht M und keinen Kanton."));
    else if (person->canton.isNull())
        add(CheckRule::FieldNull,
            QStringLiteral("Der Kanton (PKTON) der Person in LGHPS hat keinen Wert (Null); die eLohnausweis-Datei "
                           "bricht hier ab."));
}

void CertificateChecker::checkCharacters(bool companyStart)
{
    QStringList problems;
    for (std::size_t i = 0; i < Field::All.size(); ++i) {
        const CsvPlace place = kCsvPlaces[i];
        if (place == CsvPlace::None || (place == CsvPlace::Company && !companyStart))
            continue;
        const Variant& v = (*m_row)[i];
        if (v.kind() != Variant::Kind::Text)
            continue;
        if (const QString outside = charactersOutsideWindows1252(v.toText()); !outside.isEmpty())
            problems.append(QStringLiteral("%1 '%2'").arg(QString(Field::All[i]), outside));
    }
    if (!problems.isEmpty())
        add(CheckRule::Windows1252,
            QStringLiteral("Zeichen, die die eLohnausweis-Datei (Windows-1252) nicht kennt und ersetzt: %1.")
                .arg(problems.join(QStringLiteral(", "))));
}
