#include "support/MemoryDb.h"

#include "platform/LaError.h"

#include <QRegularExpression>

MemoryRecordSet::MemoryRecordSet(MemoryTable table)
    : m_table(std::move(table))
{
}

bool MemoryRecordSet::isEOF() const
{
    if (m_closed)
        throw LaError::runtime(ErrNo::ObjectNotSet);
    return m_row >= m_table.rows.size();
}

void MemoryRecordSet::moveNext()
{
    if (isEOF())
        throw LaError::runtime(ErrNo::NoCurrentRecord);
    ++m_row;
}

void MemoryRecordSet::moveFirst()
{
    m_row = 0;
}

void MemoryRecordSet::moveLast()
{
    m_row = m_table.rows.isEmpty() ? 0 : int(m_table.rows.size()) - 1;
}

int MemoryRecordSet::absolutePosition() const
{
    return isEOF() ? -3 : m_row + 1;
}

int MemoryRecordSet::fieldCount() const
{
    return int(m_table.columns.size());
}

QString MemoryRecordSet::fieldName(int index) const
{
    return m_table.columns.value(index);
}

Variant MemoryRecordSet::value(const QString& fieldName) const
{
    const int index = int(m_table.columns.indexOf(fieldName.toUpper()));
    if (index < 0)
        throw LaError::runtime(ErrNo::ItemNotFound);
    return value(index);
}

Variant MemoryRecordSet::value(int index) const
{
    if (isEOF())
        throw LaError::runtime(ErrNo::NoCurrentRecord);
    if (index < 0 || index >= m_table.columns.size())
        throw LaError::runtime(ErrNo::ItemNotFound);
    return m_table.rows[m_row].value(index);
}

void MemoryRecordSet::close()
{
    m_closed = true;
}

std::unique_ptr<DbRecordSet> MemoryConnection::query(const QString& statement, const QList<Variant>& parameters)
{
    statements.append(statement);
    parameterLists.append(parameters);
    static const QRegularExpression from(QStringLiteral("FROM\\s+[^.\\s]*\\.(\\w+)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto match = from.match(statement);
    const QString table = match.captured(1).toUpper();
    if (!match.hasMatch() || !tables.contains(table))
        throw LaError(-2147217865, QStringLiteral("MemoryDb"), QStringLiteral("Tabelle %1 nicht gefunden.").arg(table));
    return std::make_unique<MemoryRecordSet>(tables.value(table));
}
