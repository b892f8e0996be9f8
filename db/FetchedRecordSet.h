#pragma once

#include "db/DbRecordSet.h"

#include <QStringList>
#include <memory>
#include <string>
#include <vector>

// A query result fetched completely into memory, filled row by row by a back end and then walked in
// both directions. Rows are kept packed (one buffer per row, a type byte and the raw value per field)
// rather than as Variant objects: a certificate table of 100,000 rows with 55 fields would otherwise
// take several hundred megabytes.
class FetchedRecordSet : public DbRecordSet
{
public:
    explicit FetchedRecordSet(QStringList columns);
    ~FetchedRecordSet() override;

    // Filling: one call per field, in column order; a row is complete after its last field.
    void addNull();
    void addInteger(qint64 value);
    void addDouble(double value);
    void addText(const char* utf8, qsizetype size);
    void addText(const QString& value);
    void addDecimal(const char* digits, qsizetype size);
    void addDate(const QDate& value);
    void addTimestamp(const QDateTime& value);
    int rowCount() const { return int(m_rows.size()); }

    bool isEOF() const override;
    void moveNext() override;
    void moveFirst() override;
    void moveLast() override;
    int absolutePosition() const override;
    int fieldCount() const override;
    QString fieldName(int index) const override;
    Variant value(const QString& fieldName) const override;
    Variant value(int index) const override;
    void close() override;

private:
    enum Tag : char;
    void begin(Tag tag);
    void end();
    void checkOpen() const;
    int columnIndex(const QString& fieldName) const;

    QStringList m_columns;
    std::vector<int> m_nameSlots; // open addressing over the exact column names, -1 for free
    std::vector<std::unique_ptr<char[]>> m_rows;
    std::string m_building;                 // the row being filled
    std::vector<quint32> m_buildingOffsets; // start of each field in m_building
    int m_row = 0;
    bool m_closed = false;
};
