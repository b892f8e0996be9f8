#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <variant>

// A field value as the database delivers it; any value may be Null.
class Variant
{
public:
    enum class Kind
    {
        Null,
        Integer, // whole number
        Decimal, // exact decimal, kept as the digits the database gives ("1234.50")
        Double,  // floating number
        Text,
        Date,
        Timestamp
    };

    Variant() = default; // Null
    static Variant null() { return Variant(); }
    static Variant integer(qint64 v);
    static Variant decimal(const QString& digits);
    static Variant floating(double v);
    static Variant text(const QString& v);
    static Variant date(const QDate& v);
    static Variant timestamp(const QDateTime& v);

    Kind kind() const { return m_kind; }
    bool isNull() const { return m_kind == Kind::Null; }

    // The default conversion to text that every output uses: text unchanged (trailing blanks kept);
    // numbers in plain form with "." as decimal separator, no thousands separators, no exponent, a
    // floating number rounded to 15 significant digits (0.30000000000000004 gives "0.3");
    // a decimal as the database gave it; a date as "dd.mm.yyyy", a timestamp as "dd.mm.yyyy hh:mm:ss"
    // (the date alone at midnight). Throws LaError 94 (invalid use of Null) for Null.
    QString toText() const;

    // True for database dates and timestamps and for texts of the forms d.m.yyyy and yyyy-mm-dd
    // (one- or two-digit day and month, blanks around allowed) that name a real calendar day.
    bool isDate() const;
    // The date of a value for which isDate() holds; throws LaError 13 (type mismatch) otherwise,
    // LaError 94 for Null.
    QDate toDate() const;

    // The whole number, decimal or floating value as a double; texts are parsed.
    // Throws LaError 13 when the value is not numeric, 94 for Null.
    double toDouble() const;

    // The whole number of an Integer value, without a detour through text or double.
    // Throws LaError 13 for any other kind.
    qint64 toInteger() const;

    bool operator==(const Variant& other) const = default;

private:
    Kind m_kind = Kind::Null;
    std::variant<std::monostate, qint64, double, QString, QDate, QDateTime> m_value;
};

// The value, or `substitute` when the value is Null. An empty text is not Null.
Variant nz(const Variant& value, const Variant& substitute);
QString nz(const Variant& value, const QString& substitute);
