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

class MemoryRecordSet : public DbRecordSet
{
public:
    explicit MemoryRecordSet(MemoryTable table);

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
    MemoryTable m_table;
    int m_row = 0;
    bool m_closed = false;
};

class MemoryConnection : public DbConnection
{
public:
    std::unique_ptr<DbRecordSet> query(const QString& statement, const QList<Variant>& parameters = {}) override;
    bool isOpen() const override { return m_open; }
    void close() override { m_open = false; }
    qint64 statementCount() const override { return statements.size(); }

    QHash<QString, MemoryTable> tables; // by upper-case table name
    QStringList statements;
    QList<QList<Variant>> parameterLists;

private:
    bool m_open = true;
};
