#pragma once

#include <QString>
#include <optional>

// The language in which a certificate is printed. The official form exists in these three; the tax
// office of the employee's home reads it.
enum class FormLanguage
{
    German,
    French,
    Italian,
};

// The setting value FormLanguage: one language for every certificate, or the language of each
// employee's home.
enum class FormLanguageChoice
{
    Auto,
    German,
    French,
    Italian,
};

// "de", "fr", "it" or "auto" in any case and with blanks around; anything else, and an empty
// value, counts as "auto".
FormLanguageChoice parseFormLanguageChoice(const QString& value);

// The language code of the certificate ("de", "fr", "it"), as the document and the PDF carry it.
QString languageCode(FormLanguage language);

// The language spoken at a Swiss postal code: four digits, optionally after "CH-" or "CH ".
// French in the Romandie and the French-speaking Bernese Jura and Valais, Italian in Ticino, Moesano,
// Bregaglia and Valposchiavo, German elsewhere, also in the bilingual places (Biel/Bienne, Fribourg,
// Macolin, Evilard) and the Romansh valleys. Nothing when the text is no Swiss postal code (a code of
// another country, such as "D-79539" or "74100").
std::optional<FormLanguage> postalCodeLanguage(const QString& postalCode);

// True when the address line after the street names a country other than Switzerland ("Deutschland",
// "France", "Italia", "Österreich", ...): the postal code above it is then a foreign one, even when it
// has four digits like Austria's.
bool isForeignCountryLine(const QString& line);

// The language of one certificate. With a fixed choice, that language. With Auto, the language of
// the employee's Swiss postal code; for an employee living abroad (a cross-border commuter) or
// without a usable code, that of the employer's postal code, the first word of `employerZipCity`
// ("8001 Zürich"); German when neither is a Swiss postal code.
FormLanguage certificateLanguage(FormLanguageChoice choice,
                                 const QString& employeePostalCode,
                                 const QString& employeeLineAfterStreet,
                                 const QString& employerZipCity);
