#pragma once

// Fixture of the record reader tests over the real back ends (tests/db/ReaderBackEndTest.cpp).

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <functional>
#include <gtest/gtest.h>

using PayrollTables::Row;

inline QString padded(const QString& text, const QString& field)
{
    return text.leftJustified(PayrollTables::charWidth(field), u' ');
}

inline int errorNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return e.number();
    }
    return 0;
}

// Day and month differ, so that a swapped pair shows.
inline Row exportRow(const QString& company, const QString& name, const Variant& income, const char* flag = "X")
{
    return {{Field::EFLDI2, Variant::text(padded(company, Field::EFLDI2))},
            {Field::EFLDH1, Variant::text(padded(name, Field::EFLDH1))},
            {Field::EB0100, income},
            {Field::EFLDE1, Variant::date(QDate(2025, 2, 3))},
            {Field::EFLDA, Variant::text(QString::fromLatin1(flag))}};
}

class ReaderBackEnd : public ::testing::TestWithParam<TestDatabaseKind>
{
protected:
    void SetUp() override
    {
        QString whyNot;
        db = openTestDatabase(GetParam(), &whyNot);
        if (!db) {
            // In CI a database that cannot run is a failure, never a silent skip.
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << qPrintable(whyNot);
            GTEST_SKIP() << qPrintable(whyNot);
        }
        db->dropPayrollTables();
        PayrollTables::createAll(*db);
    }

    std::unique_ptr<clsADOConnect>
    reader(const QString& table, const QString& sort = {}, std::shared_ptr<DbConnection> connection = {})
    {
        auto r = std::make_unique<clsADOConnect>();
        r->setSource(db->connectionString());
        r->setLibl(db->library());
        if (connection)
            r->setConnection(std::move(connection));
        if (!r->init(table, {}, {}, sort))
            return nullptr;
        return r;
    }

    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    std::unique_ptr<TestDatabase> db;
};
