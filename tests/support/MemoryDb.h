#pragma once

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"

#include <QHash>
#include <QList>
#include <QStringList>

// In-memory tables for tests that need rows but no database. The statement's table is the name after
// "FROM <library>."; the rows come back in the order given (sorting is the database's job and the
// tests give the rows sorted).
struct MemoryTable
{
    QStringList columns;
    QList<QList<Variant>> rows;
};

// The table as the back ends deliver a result, so that tests walk the real record set.
std::unique_ptr<DbRecordSet> fetchedRecordSet(const MemoryTable& table);

class MemoryConnection : public DbConnection
{
public:
    std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) override;
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    qint64 statementCount() const override { return m_statements; }

    QHash<QString, MemoryTable> tables; // by upper-case table name

private:
    bool m_open = true;
    qint64 m_statements = 0;
};
