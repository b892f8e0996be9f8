#include "report/Amount.h"

#include <cmath>

namespace {

constexpr int kDecimals = 9;
constexpr int kWholeDigits = 20;

} // namespace

std::optional<Amount> Amount::fromVariant(const Variant& value)
{
    switch (value.kind()) {
    case Variant::Kind::Integer: {
        // Exact already; any 64-bit whole number fits the billionths of a 128-bit one.
        __int128 units = value.toInteger();
        for (int d = 0; d < kDecimals; ++d)
            units *= 10;
        return Amount(units);
    }
    case Variant::Kind::Double:
        // A floating column can hold infinity or NaN, which have no text form as a number.
        if (!std::isfinite(value.toDouble()))
            return std::nullopt;
        return fromText(value.toText()); // the shortest text that reads back as the stored number
    case Variant::Kind::Decimal:
    case Variant::Kind::Text:
        return fromText(value.toText());
    default:
        return std::nullopt;
    }
}

std::optional<Amount> Amount::fromText(const QString& text)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';

    __int128 units = 0;
    int wholeDigits = 0;
    int decimals = 0;
    bool point = false;
    bool anyDigit = false;
    for (; i < end; ++i) {
        const QChar c = text[i];
        if (c == u'.' && !point) {
            point = true;
            continue;
        }
        if (c < u'0' || c > u'9')
            return std::nullopt;
        anyDigit = true;
        const int digit = c.unicode() - u'0';
        if (point) {
            if (decimals == kDecimals) {
                if (digit != 0)
                    return std::nullopt;
                continue;
            }
            ++decimals;
        } else if (units != 0 || digit != 0) {
            if (++wholeDigits > kWholeDigits)
                return std::nullopt;
        }
        units = units * 10 + digit;
    }
    if (!anyDigit)
        return std::nullopt;
    for (; decimals < kDecimals; ++decimals)
        units *= 10;
    return Amount(negative ? -units : units);
}

bool Amount::isWhole() const
{
    __int128 perFranc = 1;
    for (int d = 0; d < kDecimals; ++d)
        perFranc *= 10;
    return m_units % perFranc == 0;
}

QString Amount::toSwiss() const
{
    unsigned __int128 magnitude = m_units < 0 ? -static_cast<unsigned __int128>(m_units) : m_units;
    QString fraction;
    for (int d = 0; d < kDecimals; ++d) {
        fraction.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
    }
    while (fraction.size() > 2 && fraction.endsWith(u'0'))
        fraction.chop(1);
    QString whole;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            whole.prepend(u'\'');
        whole.prepend(QChar(u'0' + int(magnitude % 10)));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    return (m_units < 0 ? QStringLiteral("-") : QString()) + whole + u'.' + fraction;
}
