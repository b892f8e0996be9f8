#pragma once

#include <QString>

// Text pieces of the eLohnausweis import file. Its columns are separated by ";" and its lines by
// CR LF, and the import program knows no quoting, so every value is made safe before it goes in.
namespace CsvText {

// The value with each ";" turned into "," and each CR, LF and other control character into one
// blank, so that it stays in its own column and line and the import program reads no other.
QString cleanValue(const QString& value);

// Removes blanks (" " only, as the database's TRIM does) from both ends or from the end.
QString trimBlanks(const QString& text);
QString trimTrailingBlanks(const QString& text);

// A name split after its first word: `word` runs up to the first blank (empty when the text starts
// with one, the whole text when there is none); `rest` is what follows, trimmed of blanks.
struct FirstWordSplit
{
    QString word;
    QString rest;
};
FirstWordSplit splitFirstWord(const QString& text);

// The address column: the parts that are not empty or all blanks, each without its trailing blanks,
// joined by single blanks (leading blanks of a part stay).
QString addressText(const QString& before, const QString& street, const QString& after);

// A text as a 16-bit whole number: blanks around, a sign, digits with an optional decimal point and
// exponent; a fraction goes to the nearest whole number, a half to the even one.
// Throws LaError 13 when the text is not numeric (the empty text included), 6 outside -32768..32767.
qint16 toInt16(const QString& text);

} // namespace CsvText
