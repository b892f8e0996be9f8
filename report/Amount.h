#pragma once

#include "platform/Variant.h"

#include <QString>
#include <optional>

// An amount of a certificate as an exact decimal: the sums of the form must hold to the last digit,
// and binary floating point cannot hold 0.10 exactly. Kept as a whole number of billionths.
class Amount
{
public:
    Amount() = default;

    // The amount a field holds, by its text form: blanks around, an optional sign, digits with an
    // optional decimal point. Nothing for a value that is no such number, Null, infinity and NaN
    // included, and for one with more than nine decimals or more than twenty whole digits.
    static std::optional<Amount> fromVariant(const Variant& value);
    static std::optional<Amount> fromText(const QString& text);

    Amount operator+(Amount other) const { return Amount(m_units + other.m_units); }
    Amount operator-(Amount other) const { return Amount(m_units - other.m_units); }
    bool operator==(const Amount& other) const = default;
    bool operator<(const Amount& other) const { return m_units < other.m_units; }
    bool isNegative() const { return m_units < 0; }
    bool isZero() const { return m_units == 0; }
    // Whole francs: no cents and nothing below.
    bool isWhole() const;

    // Swiss form with two decimals at least and ' between thousands: 56'900.00, -0.125.
    QString toSwiss() const;

private:
    explicit Amount(__int128 units)
        : m_units(units)
    {
    }

    __int128 m_units = 0; // billionths
};
