#pragma once

#include "platform/Variant.h"

#include <QString>

// A fully fetched query result that can be walked in both directions.
// Operations on a closed record set, and reading fields at end of file, throw LaError.
class DbRecordSet
{
public:
    virtual ~DbRecordSet() = default;

    virtual bool isEOF() const = 0;
    virtual void moveNext() = 0;
    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    // 1 for the first row; a value below 1 when there is no current row.
    virtual int absolutePosition() const = 0;

    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // The field of the current row; names compare case-insensitively. An unknown name or index
    // throws LaError 3265, no current row LaError 3021.
    virtual Variant value(const QString& fieldName) const = 0;
    virtual Variant value(int index) const = 0;

    virtual void close() = 0;
};
