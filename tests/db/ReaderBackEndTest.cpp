// The record reader over the real back ends: one test body, run against every test database.
#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

namespace {

using PayrollTables::Row;

QString padded(const QString& text, const QString& field)
{
    return text.leftJustified(PayrollTables::charWidth(field), u' ');
}

// Day and month differ, so that a swapped pair shows.
Row exportRow(const QString& company, const QString& name, const Variant& income, const char* flag = "X")
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

// Each test starts a server for MariaDB: the cases are grouped into few tests to keep that rare.
TEST_P(ReaderBackEnd, ReadsSortedRowsFieldsByNameAndMovesLikeARecordSet)
{
    Row first = exportRow("Alpha AG", "Müller-Weiß Jürg", Variant::decimal(QStringLiteral("1234.50")), "x");
    first.append({Field::EFLDH2, Variant()});
    first.append({Field::EB0900, Variant::decimal(QStringLiteral("-17.05"))});
    PayrollTables::insert(*db, QStringLiteral("LGHLAEXP"), exportRow("Beta AG", "Zürcher Anna", Variant::integer(3)));
    PayrollTables::insert(*db, QStringLiteral("LGHLAEXP"), exportRow("Alpha AG", "Meier Hans", Variant::integer(2)));
    PayrollTables::insert(*db, QStringLiteral("LGHLAEXP"), first);

    const auto r = reader(QStringLiteral("LGHLAEXP"), QStringLiteral("EFLDI2, EFLDH1"));
    ASSERT_TRUE(r) << qPrintable(prompt.boxes.value(0).text);
    const auto rs = r->getRecordset();
    EXPECT_EQ(rs->value(QString(Field::EFLDH1)).toText(), padded(QStringLiteral("Meier Hans"), Field::EFLDH1));
    EXPECT_EQ(rs->value(QString(Field::EFLDH1)).toText().size(), 60);
    QStringList names;
    QList<double> incomes;
    for (; !r->isEOF(); r->MoveNext()) {
        names.append(rs->value(QString(Field::EFLDH1)).toText().trimmed());
        incomes.append(rs->value(QStringLiteral("eb0100")).toDouble()); // any spelling of the name
        EXPECT_TRUE(isFlagSet(rs->value(QStringLiteral("Eflda"))));
        EXPECT_EQ(isoDateOrEmpty(rs->value(QString(Field::EFLDE1))), QStringLiteral("2025-02-03"));
        if (names.last() == QLatin1String("Müller-Weiß Jürg")) {
            EXPECT_TRUE(rs->value(QString(Field::EFLDH2)).isNull());
            EXPECT_DOUBLE_EQ(rs->value(QString(Field::EB0900)).toDouble(), -17.05);
        }
        EXPECT_TRUE(rs->value(QString(Field::EB1100)).isNull());
    }
    EXPECT_EQ(names, (QStringList{"Meier Hans", "Müller-Weiß Jürg", "Zürcher Anna"}));
    EXPECT_EQ(incomes, (QList<double>{2, 1234.5, 3}));
    EXPECT_TRUE(prompt.boxes.isEmpty());

    for (const char* name : {"A", "B", "C"})
        PayrollTables::insert(*db,
                              QStringLiteral("LGHPS"),
                              {{QStringLiteral("PNAME"), Variant::text(QString::fromLatin1(name))},
                               {QStringLiteral("PKTON"), Variant::text(QStringLiteral("ZH"))}});
    PayrollTables::insert(
        *db, QStringLiteral("LGHPS"), {{QStringLiteral("PKTON"), Variant::text(QStringLiteral("BE"))}});

    auto moving = std::make_unique<clsADOConnect>();
    moving->setSource(db->connectionString());
    moving->setLibl(db->library());
    ASSERT_TRUE(
        moving->init(QStringLiteral("LGHPS"), QStringLiteral("PNAME, PKTON"), {}, QStringLiteral("PKTON, PNAME")));
    EXPECT_EQ(moving->AbsolutePosition(), 1);
    EXPECT_EQ(moving->getValue(), QString()); // the BE row has no name: Null reads as ""
    moving->MoveLast();
    EXPECT_EQ(moving->AbsolutePosition(), 4);
    EXPECT_EQ(moving->getValue().trimmed(), QStringLiteral("C"));
    moving->MoveFirst();
    moving->MoveNext();
    EXPECT_EQ(moving->AbsolutePosition(), 2);
    EXPECT_EQ(moving->getValue().trimmed(), QStringLiteral("A"));
    EXPECT_EQ(raisedBy([&] { (void)moving->getRecordset()->value(QStringLiteral("PKTONX")); }).number(),
              ErrNo::ItemNotFound);
    moving->MoveLast();
    moving->MoveNext();
    EXPECT_TRUE(moving->isEOF());
    moving->MoveLast(); // at the end it stays there
    EXPECT_TRUE(moving->isEOF());
    EXPECT_THROW(moving->MoveNext(), LaError);
    EXPECT_EQ(raisedBy([&] { (void)moving->getValue(); }).number(), ErrNo::NoCurrentRecord);

    // An empty result is at its end at once.
    const auto empty = reader(QStringLiteral("LGHLAZ"));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEOF());
}

TEST_P(ReaderBackEnd, ReadersShareOneConnectionAndBadSourcesShowOneBox)
{
    PayrollTables::insert(*db, QStringLiteral("LGHLAEXP"), exportRow("Alpha AG", "Meier Hans", Variant::integer(2)));
    PayrollTables::insert(*db,
                          QStringLiteral("LGHLAZ"),
                          {{QStringLiteral("LHREC"), Variant::text(QStringLiteral("LH"))},
                           {QStringLiteral("LHJAHR"), Variant::integer(2025)}});
    PayrollTables::insert(
        *db, QStringLiteral("LGHPS"), {{QStringLiteral("PKTON"), Variant::text(QStringLiteral("ZH"))}});

    auto first = reader(QStringLiteral("LGHLAEXP"));
    ASSERT_TRUE(first) << qPrintable(prompt.boxes.value(0).text);
    const std::weak_ptr<DbConnection> shared = first->getConnection();
    const int before = db->serverConnectionCount();
    EXPECT_NE(before, 0); // -1 for a back end without a server
    // The lookups carry a connection string of their own that must not be used.
    auto second = std::make_unique<clsADOConnect>();
    second->setSource(QStringLiteral("Provider=IBMDA400;Data Source=/nonexistent/x.sqlite;"));
    second->setLibl(db->library());
    second->setConnection(first->getConnection());
    ASSERT_TRUE(second->init(QStringLiteral("LGHLAZ")));
    auto third = reader(QStringLiteral("LGHPS"), {}, first->getConnection());
    ASSERT_TRUE(third);

    EXPECT_EQ(second->getConnection(), shared.lock());
    EXPECT_EQ(third->getConnection(), shared.lock());
    EXPECT_EQ(shared.lock()->statementCount(), 3);
    EXPECT_EQ(db->serverConnectionCount(), before); // no connection opened by the lookups
    EXPECT_EQ(second->getRecordset()->value(QStringLiteral("LHJAHR")).toDouble(), 2025);
    EXPECT_EQ(third->getRecordset()->value(QStringLiteral("PKTON")).toText(), QStringLiteral("ZH"));
    EXPECT_TRUE(prompt.boxes.isEmpty());

    // The connection lives while any reader holds it, and goes with the last.
    first.reset();
    second.reset();
    ASSERT_FALSE(shared.expired());
    EXPECT_TRUE(shared.lock()->isOpen());
    third.reset();
    EXPECT_TRUE(shared.expired());

    // A reader without a library closes the connection it holds on release.
    auto connection = openDbConnection(db->connectionString());
    std::make_unique<clsADOConnect>()->setConnection(connection);
    EXPECT_FALSE(connection->isOpen());

    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("NOSUCHTABLE"), db->library()},
        {QStringLiteral("LGHLAEXP"), QString()},
        {QStringLiteral("LGHLAEXP"), db->library() + QStringLiteral("; DROP TABLE X")},
    };
    for (const auto& [table, library] : cases) {
        prompt.boxes.clear();
        auto connection = openDbConnection(db->connectionString());
        clsADOConnect r;
        r.setSource(db->connectionString());
        r.setLibl(library);
        r.setConnection(connection);
        EXPECT_FALSE(r.init(table)) << qPrintable(library);
        ASSERT_EQ(prompt.boxes.size(), 1) << qPrintable(library);
        EXPECT_EQ(prompt.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_EQ(prompt.boxes[0].style, 16);
        if (library == db->library()) // the server's message names the table
            EXPECT_TRUE(prompt.boxes[0].text.contains(table, Qt::CaseInsensitive)) << qPrintable(prompt.boxes[0].text);
        else // a library that is no plain name never reaches the server
            EXPECT_EQ(connection->statementCount(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(BackEnds, ReaderBackEnd, ::testing::ValuesIn(allTestDatabaseKinds()), [](const auto& info) {
    return testDatabaseKindName(info.param);
});

} // namespace
