#include "db/ExportRow.h"

bool isFlagSet(const Variant& value, QChar letter)
{
    if (value.isNull())
        return false;
    return value.toText().toUpper() == QString(letter);
}

QString isoDateOrEmpty(const Variant& value)
{
    if (!value.isDate())
        return {};
    return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
}

QString swissDate(const Variant& value)
{
    return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
}

QString textOrEmpty(const Variant& value)
{
    return value.isNull() ? QString() : value.toText();
}
