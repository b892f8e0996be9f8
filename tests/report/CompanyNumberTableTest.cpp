#include "report/CompanyNumberTable.h"

#include "support/MemoryDb.h"
#include "support/TestFiles.h"

namespace {

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

std::unique_ptr<DbRecordSet> lghlaz(const QList<QList<Variant>>& rows)
{
    return fetchedRecordSet(
        {{QStringLiteral("LHREC"), QStringLiteral("LHJAHR"), QStringLiteral("LHFIN1"), QStringLiteral("LHFINR")},
         rows});
}

} // namespace

// The table takes as many companies as LGHLAZ holds for the year (a fixed table of 101 pairs would end
// a larger payroll with an index error), and an empty company name matches no unfilled pair.
TEST(CompanyNumberTable, TakesEveryCompanyOfTheYearAndNoEmptyName)
{
    QList<QList<Variant>> rows{{t("LH"), Variant::decimal(QStringLiteral("2013")), t("Muster AG   "), t("2.5")},
                               {t("LH"), t("2013"), t("Muster AG"), t("abc")}}; // a second pair: the first counts
    for (int i = 0; i < 150; ++i)
        rows.append({t("LH"), t("2013"), Variant::text(QStringLiteral("Firma %1").arg(i)), Variant::integer(i)});
    const auto set = lghlaz(rows);
    CompanyNumberTable table;
    table.load(*set, t("2013"));

    qint16 number = -1;
    ASSERT_TRUE(table.lookUp(QStringLiteral("Muster AG"), number));
    EXPECT_EQ(number, 2); // a half goes to the even number
    ASSERT_TRUE(table.lookUp(QStringLiteral("Firma 149"), number));
    EXPECT_EQ(number, 149);
    EXPECT_FALSE(table.lookUp(QString(), number));
}

TEST(CompanyNumberTable, BadNumbersAndNullsNameFieldAndCompany)
{
    const std::tuple<QList<Variant>, int, const char*> cases[] = {
        {{t("LH"), t("2013"), t("Muster AG"), t("")},
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': keine Zahl ('')."},
        {{t("LH"), t("2013"), t("Muster AG"), Variant::integer(40000)},
         ErrNo::Overflow,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': Zahl außerhalb von -32768 bis 32767 ('40000')."},
        {{t("LH"), t("2013"), Variant(), t("1")},
         ErrNo::InvalidUseOfNull,
         "Feld LHFIN1 der Tabelle LGHLAZ (Zeile 1): kein Wert (Null)."},
    };
    for (const auto& [row, error, description] : cases) {
        const auto set = lghlaz({row});
        const LaError e = raisedBy([&] {
            CompanyNumberTable table;
            table.load(*set, Variant::integer(2013));
            qint16 number = 0;
            table.lookUp(QStringLiteral("Muster AG"), number);
        });
        EXPECT_EQ(e.number(), error) << description;
        EXPECT_EQ(e.description(), QString::fromUtf8(description));
    }
}
