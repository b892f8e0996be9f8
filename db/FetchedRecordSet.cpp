#include "db/FetchedRecordSet.h"

#include "platform/LaError.h"

#include <cstring>
#include <limits>

// Row buffer: (fields + 1) 32-bit offsets into the payload, then the payload. Each field is a type
// byte followed by its value: 8 bytes for whole numbers, doubles and day numbers, the UTF-8 bytes up
// to the next field for texts and decimals, day number and milliseconds for timestamps.
enum FetchedRecordSet::Tag : char
{
    TagNull,
    TagInteger,
    TagDouble,
    TagText,
    TagDecimal,
    TagDate,
    TagTimestamp
};

namespace {

template <typename T> void appendRaw(std::string& buffer, const T& value)
{
    buffer.append(reinterpret_cast<const char*>(&value), sizeof value);
}

// FNV-1a over the UTF-16 units: the generators look up every field of every row by name, and the
// general string hash costs several times the rest of a field read.
size_t nameHash(QStringView name)
{
    size_t h = 1469598103934665603ULL;
    for (const QChar c : name) {
        h ^= c.unicode();
        h *= 1099511628211ULL;
    }
    return h;
}

template <typename T> T readRaw(const char* p)
{
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

} // namespace

FetchedRecordSet::FetchedRecordSet(QStringList columns)
    : m_columns(std::move(columns))
{
    size_t slotCount = 8;
    while (slotCount < size_t(m_columns.size()) * 2)
        slotCount *= 2;
    m_nameSlots.assign(slotCount, -1);
    for (int i = 0; i < m_columns.size(); ++i) {
        size_t slot = nameHash(m_columns[i]) & (slotCount - 1);
        while (m_nameSlots[slot] >= 0) {
            if (m_columns[m_nameSlots[slot]] == m_columns[i])
                break; // a repeated name: the first column of that name wins
            slot = (slot + 1) & (slotCount - 1);
        }
        if (m_nameSlots[slot] < 0)
            m_nameSlots[slot] = i;
    }
    m_buildingOffsets.reserve(m_columns.size() + 1);
}

FetchedRecordSet::~FetchedRecordSet() = default;

void FetchedRecordSet::begin(Tag tag)
{
    if (m_building.size() > std::numeric_limits<quint32>::max() - 64)
        throw LaError::runtime(ErrNo::OutOfMemory);
    m_buildingOffsets.push_back(quint32(m_building.size()));
    m_building.push_back(tag);
}

void FetchedRecordSet::end()
{
    if (m_buildingOffsets.size() < size_t(m_columns.size()))
        return;
    m_buildingOffsets.push_back(quint32(m_building.size()));
    const size_t head = m_buildingOffsets.size() * sizeof(quint32);
    auto row = std::make_unique<char[]>(head + m_building.size());
    std::memcpy(row.get(), m_buildingOffsets.data(), head);
    std::memcpy(row.get() + head, m_building.data(), m_building.size());
    m_rows.push_back(std::move(row));
    m_building.clear();
    m_buildingOffsets.clear();
}

void FetchedRecordSet::addNull()
{
    begin(TagNull);
    end();
}

void FetchedRecordSet::addInteger(qint64 value)
{
    begin(TagInteger);
    appendRaw(m_building, value);
    end();
}

void FetchedRecordSet::addDouble(double value)
{
    begin(TagDouble);
    appendRaw(m_building, value);
    end();
}

void FetchedRecordSet::addText(const char* utf8, qsizetype size)
{
    begin(TagText);
    if (size > 0)
        m_building.append(utf8, size_t(size));
    end();
}

void FetchedRecordSet::addText(const QString& value)
{
    const QByteArray utf8 = value.toUtf8();
    addText(utf8.constData(), utf8.size());
}

void FetchedRecordSet::addDecimal(const char* digits, qsizetype size)
{
    begin(TagDecimal);
    if (size > 0)
        m_building.append(digits, size_t(size));
    end();
}

void FetchedRecordSet::addDate(const QDate& value)
{
    begin(TagDate);
    appendRaw(m_building, qint64(value.toJulianDay()));
    end();
}

void FetchedRecordSet::addTimestamp(const QDateTime& value)
{
    begin(TagTimestamp);
    appendRaw(m_building, qint64(value.date().toJulianDay()));
    appendRaw(m_building, qint32(value.time().msecsSinceStartOfDay()));
    end();
}

void FetchedRecordSet::checkOpen() const
{
    if (m_closed)
        throw LaError::runtime(ErrNo::ObjectNotSet);
}

bool FetchedRecordSet::isEOF() const
{
    checkOpen();
    return m_row >= rowCount();
}

void FetchedRecordSet::moveNext()
{
    if (isEOF())
        throw LaError::runtime(ErrNo::NoCurrentRecord);
    ++m_row;
}

void FetchedRecordSet::moveFirst()
{
    checkOpen();
    m_row = 0;
}

void FetchedRecordSet::moveLast()
{
    checkOpen();
    m_row = m_rows.empty() ? 0 : rowCount() - 1;
}

int FetchedRecordSet::absolutePosition() const
{
    // At the end there is no current row; -3 is the position value drivers report for end of file.
    return isEOF() ? -3 : m_row + 1;
}

int FetchedRecordSet::fieldCount() const
{
    return int(m_columns.size());
}

QString FetchedRecordSet::fieldName(int index) const
{
    if (index < 0 || index >= m_columns.size())
        throw LaError::runtime(ErrNo::ItemNotFound);
    return m_columns[index];
}

int FetchedRecordSet::columnIndex(const QString& fieldName) const
{
    // The exact spelling (the usual case) is a hash look-up, other spellings a scan.
    const size_t mask = m_nameSlots.size() - 1;
    for (size_t slot = nameHash(fieldName) & mask; m_nameSlots[slot] >= 0; slot = (slot + 1) & mask) {
        const QString& name = m_columns[m_nameSlots[slot]];
        if (name.size() == fieldName.size() &&
            std::memcmp(name.constData(), fieldName.constData(), size_t(name.size()) * sizeof(QChar)) == 0)
            return m_nameSlots[slot];
    }
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    throw LaError::runtime(ErrNo::ItemNotFound,
                           errorDescription(ErrNo::ItemNotFound) + QStringLiteral(" (Feld %1)").arg(fieldName));
}

Variant FetchedRecordSet::value(const QString& fieldName) const
{
    checkOpen();
    return value(columnIndex(fieldName));
}

Variant FetchedRecordSet::value(int index) const
{
    if (isEOF())
        throw LaError::runtime(ErrNo::NoCurrentRecord);
    if (index < 0 || index >= m_columns.size())
        throw LaError::runtime(ErrNo::ItemNotFound);
    const char* row = m_rows[size_t(m_row)].get();
    const char* payload = row + (m_columns.size() + 1) * sizeof(quint32);
    const quint32 start = readRaw<quint32>(row + index * sizeof(quint32));
    const quint32 stop = readRaw<quint32>(row + (index + 1) * sizeof(quint32));
    const char* p = payload + start + 1;
    const qsizetype size = qsizetype(stop - start - 1);
    switch (Tag(payload[start])) {
    case TagNull:
        return Variant();
    case TagInteger:
        return Variant::integer(readRaw<qint64>(p));
    case TagDouble:
        return Variant::floating(readRaw<double>(p));
    case TagText:
        return Variant::text(QString::fromUtf8(p, size));
    case TagDecimal:
        return Variant::decimal(QString::fromLatin1(p, size));
    case TagDate:
        return Variant::date(QDate::fromJulianDay(readRaw<qint64>(p)));
    case TagTimestamp:
        return Variant::timestamp(QDateTime(QDate::fromJulianDay(readRaw<qint64>(p)),
                                            QTime::fromMSecsSinceStartOfDay(readRaw<qint32>(p + sizeof(qint64)))));
    }
    return Variant();
}

void FetchedRecordSet::close()
{
    m_closed = true;
    m_rows.clear();
    m_rows.shrink_to_fit();
}
