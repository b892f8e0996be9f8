#include "platform/Variant.h"

#include "platform/LaError.h"

#include <QRegularExpression>
#include <charconv>
#include <cmath>

Variant Variant::integer(qint64 v)
{
    Variant r;
    r.m_kind = Kind::Integer;
    r.m_value = v;
    return r;
}

Variant Variant::decimal(const QString& digits)
{
    Variant r;
    r.m_kind = Kind::Decimal;
    r.m_value = digits;
    return r;
}

Variant Variant::floating(double v)
{
    Variant r;
    r.m_kind = Kind::Double;
    r.m_value = v;
    return r;
}

Variant Variant::text(const QString& v)
{
    Variant r;
    r.m_kind = Kind::Text;
    r.m_value = v;
    return r;
}

Variant Variant::date(const QDate& v)
{
    Variant r;
    r.m_kind = Kind::Date;
    r.m_value = v;
    return r;
}

Variant Variant::timestamp(const QDateTime& v)
{
    Variant r;
    r.m_kind = Kind::Timestamp;
    r.m_value = v;
    return r;
}

namespace {

QString plainDouble(double v)
{
    if (!std::isfinite(v))
        throw LaError::runtime(ErrNo::Overflow);
    // A floating column holds 0.3 as 0.30000000000000004; its 16th and 17th digits are noise of the
    // binary form, not part of the amount. Rounded to 15 significant digits, then the shortest text that
    // reads back as that number, never in exponent form.
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 14);
    if (result.ec != std::errc())
        throw LaError::runtime(ErrNo::Overflow);
    double rounded = 0;
    std::from_chars(buffer, result.ptr, rounded, std::chars_format::scientific);
    result = std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed);
    if (result.ec != std::errc())
        throw LaError::runtime(ErrNo::Overflow);
    return QString::fromLatin1(buffer, int(result.ptr - buffer));
}

QDate dateFromText(const QString& raw)
{
    static const QRegularExpression swiss(QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})$"));
    const QString s = raw.trimmed();
    if (const auto m = swiss.match(s); m.hasMatch())
        return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (const auto m = iso.match(s); m.hasMatch())
        return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return {};
}

} // namespace

QString Variant::toText() const
{
    switch (m_kind) {
    case Kind::Null:
        throw LaError::runtime(ErrNo::InvalidUseOfNull);
    case Kind::Integer:
        return QString::number(std::get<qint64>(m_value));
    case Kind::Decimal:
    case Kind::Text:
        return std::get<QString>(m_value);
    case Kind::Double:
        return plainDouble(std::get<double>(m_value));
    case Kind::Date:
        return std::get<QDate>(m_value).toString(QStringLiteral("dd.MM.yyyy"));
    case Kind::Timestamp: {
        const QDateTime& t = std::get<QDateTime>(m_value);
        if (t.time() == QTime(0, 0))
            return t.date().toString(QStringLiteral("dd.MM.yyyy"));
        return t.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    }
    return {};
}

bool Variant::isDate() const
{
    switch (m_kind) {
    case Kind::Date:
        return std::get<QDate>(m_value).isValid();
    case Kind::Timestamp:
        return std::get<QDateTime>(m_value).isValid();
    case Kind::Text:
        return dateFromText(std::get<QString>(m_value)).isValid();
    default:
        return false;
    }
}

QDate Variant::toDate() const
{
    switch (m_kind) {
    case Kind::Null:
        throw LaError::runtime(ErrNo::InvalidUseOfNull);
    case Kind::Date:
        if (std::get<QDate>(m_value).isValid())
            return std::get<QDate>(m_value);
        break;
    case Kind::Timestamp:
        if (std::get<QDateTime>(m_value).isValid())
            return std::get<QDateTime>(m_value).date();
        break;
    case Kind::Text:
        if (const QDate d = dateFromText(std::get<QString>(m_value)); d.isValid())
            return d;
        break;
    default:
        break;
    }
    throw LaError::runtime(ErrNo::TypeMismatch);
}

double Variant::toDouble() const
{
    switch (m_kind) {
    case Kind::Null:
        throw LaError::runtime(ErrNo::InvalidUseOfNull);
    case Kind::Integer:
        return double(std::get<qint64>(m_value));
    case Kind::Double:
        return std::get<double>(m_value);
    case Kind::Decimal:
    case Kind::Text: {
        bool ok = false;
        const double d = std::get<QString>(m_value).trimmed().toDouble(&ok);
        if (!ok)
            throw LaError::runtime(ErrNo::TypeMismatch);
        return d;
    }
    default:
        throw LaError::runtime(ErrNo::TypeMismatch);
    }
}

Variant nz(const Variant& value, const Variant& substitute)
{
    return value.isNull() ? substitute : value;
}

QString nz(const Variant& value, const QString& substitute)
{
    return value.isNull() ? substitute : value.toText();
}

qint64 Variant::toInteger() const
{
    if (m_kind != Kind::Integer)
        throw LaError::runtime(ErrNo::TypeMismatch);
    return std::get<qint64>(m_value);
}
