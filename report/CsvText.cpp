#include "report/CsvText.h"

#include "platform/ControlCharacters.h"
#include "platform/LaError.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace CsvText {

QString cleanValue(const QString& value)
{
    QString result = blankControlCharacters(value);
    if (result.contains(u';'))
        result.replace(u';', u',');
    return result;
}

QString trimBlanks(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

QString trimTrailingBlanks(const QString& text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

FirstWordSplit splitFirstWord(const QString& text)
{
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return {text, QString()};
    return {text.left(blank), trimBlanks(text.mid(blank))};
}

QString addressText(const QString& before, const QString& street, const QString& after)
{
    // Built the way the column has always been built: each part is appended, the trailing blanks
    // are cut, and a blank joins it to the next part only when something stands before it.
    QString line = QStringLiteral(";");
    const auto separate = [&line] {
        line = trimTrailingBlanks(line);
        if (!line.endsWith(u';'))
            line += u' ';
    };
    line += before;
    separate();
    line += street;
    line += u' ';
    separate();
    line += after;
    line = trimTrailingBlanks(line);
    return line.mid(1);
}

qint16 toInt16(const QString& text)
{
    static const QRegularExpression numeric(QStringLiteral("^ *[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)? *$"));
    if (!numeric.match(text).hasMatch())
        throw LaError::runtime(ErrNo::TypeMismatch);
    bool ok = false;
    const double value = trimBlanks(text).toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw LaError::runtime(ErrNo::Overflow);
    // nearbyint rounds in the default mode: to nearest, halves to the even neighbour.
    const double rounded = std::nearbyint(value);
    if (rounded < -32768.0 || rounded > 32767.0)
        throw LaError::runtime(ErrNo::Overflow);
    return qint16(rounded);
}

} // namespace CsvText
