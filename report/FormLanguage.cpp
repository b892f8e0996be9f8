#include "report/FormLanguage.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>

namespace {

// Postal-code ranges whose certificates are not German. Codes are given out by region, so the
// language border follows them closely; where a range holds German-speaking or bilingual places, the
// range is split around them (Jaun, the Sense district, the German-speaking places of the Lake
// district, Fribourg city, Biel/Bienne and the villages on the lake of Biel, Salgesch).
struct PostalRange
{
    int first;
    int last;
    FormLanguage language;
};

constexpr PostalRange kRanges[] = {
    {1000, 1655, FormLanguage::French},
    // 1656 Jaun, 1657 Abländschen: German.
    {1658, 1699, FormLanguage::French},
    // 1700-1709 Fribourg/Freiburg: bilingual. 1712-1719 Sense district: German.
    {1710, 1711, FormLanguage::French},
    {1720, 1733, FormLanguage::French},
    // 1734-1738 Sense district: German.
    {1739, 1791, FormLanguage::French},
    // 1792-1794 Cordast, Jeuss, Salvenach: German.
    {1795, 1796, FormLanguage::French},
    // 1797 Münchenwiler: German.
    {1798, 2499, FormLanguage::French},
    // 2500-2514 Biel/Bienne (bilingual) and the German villages on the lake.
    {2515, 2531, FormLanguage::French},
    // 2532 Macolin/Magglingen, 2533 Evilard/Leubringen: bilingual.
    {2534, 2539, FormLanguage::French},
    // 2540-2599 Grenchen, Lengnau, Nidau and the Seeland: German.
    {2600, 2999, FormLanguage::French},
    // 3960-3979 Sierre and the French-speaking villages around it, but for 3970 Salgesch.
    {3960, 3969, FormLanguage::French},
    {3971, 3979, FormLanguage::French},
    {6500, 6999, FormLanguage::Italian},
    // Bregaglia, Ospizio Bernina, Valposchiavo.
    {7602, 7610, FormLanguage::Italian},
    {7710, 7710, FormLanguage::Italian},
    {7741, 7748, FormLanguage::Italian},
};

QString simplified(const QString& text)
{
    QString s = text.simplified().toLower();
    while (s.endsWith(u'.') || s.endsWith(u','))
        s.chop(1);
    return s;
}

} // namespace

FormLanguageChoice parseFormLanguageChoice(const QString& value)
{
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("de"))
        return FormLanguageChoice::German;
    if (v == QLatin1String("fr"))
        return FormLanguageChoice::French;
    if (v == QLatin1String("it"))
        return FormLanguageChoice::Italian;
    return FormLanguageChoice::Auto;
}

QString languageCode(FormLanguage language)
{
    switch (language) {
    case FormLanguage::French:
        return QStringLiteral("fr");
    case FormLanguage::Italian:
        return QStringLiteral("it");
    case FormLanguage::German:
        break;
    }
    return QStringLiteral("de");
}

std::optional<FormLanguage> postalCodeLanguage(const QString& postalCode)
{
    static const QRegularExpression swiss(QStringLiteral("^(?:CH[- ]?)?([1-9][0-9]{3})$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = swiss.match(postalCode.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const int code = m.captured(1).toInt();
    const auto range = std::find_if(std::begin(kRanges), std::end(kRanges), [&](const PostalRange& r) {
        return r.first <= code && code <= r.last;
    });
    return range == std::end(kRanges) ? FormLanguage::German : range->language;
}

bool isForeignCountryLine(const QString& line)
{
    // The neighbours and the countries most cross-border commuters come from, in their own language,
    // the form's three and English, and as vehicle and ISO codes.
    static const QStringList countries = {
        QStringLiteral("deutschland"),
        QStringLiteral("germany"),
        QStringLiteral("allemagne"),
        QStringLiteral("germania"),
        QStringLiteral("d"),
        QStringLiteral("de"),
        QStringLiteral("frankreich"),
        QStringLiteral("france"),
        QStringLiteral("francia"),
        QStringLiteral("f"),
        QStringLiteral("fr"),
        QStringLiteral("italien"),
        QStringLiteral("italy"),
        QStringLiteral("italie"),
        QStringLiteral("italia"),
        QStringLiteral("i"),
        QStringLiteral("it"),
        QStringLiteral("österreich"),
        QStringLiteral("austria"),
        QStringLiteral("autriche"),
        QStringLiteral("a"),
        QStringLiteral("at"),
        QStringLiteral("liechtenstein"),
        QStringLiteral("fl"),
        QStringLiteral("li"),
    };
    return countries.contains(simplified(line));
}

FormLanguage certificateLanguage(FormLanguageChoice choice,
                                 const QString& employeePostalCode,
                                 const QString& employeeLineAfterStreet,
                                 const QString& employerZipCity)
{
    switch (choice) {
    case FormLanguageChoice::German:
        return FormLanguage::German;
    case FormLanguageChoice::French:
        return FormLanguage::French;
    case FormLanguageChoice::Italian:
        return FormLanguage::Italian;
    case FormLanguageChoice::Auto:
        break;
    }
    if (!isForeignCountryLine(employeeLineAfterStreet))
        if (const auto home = postalCodeLanguage(employeePostalCode))
            return *home;
    return postalCodeLanguage(employerZipCity.trimmed().section(u' ', 0, 0)).value_or(FormLanguage::German);
}
