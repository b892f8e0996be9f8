#include "report/CompanyNumberTable.h"

#include "platform/LaError.h"
#include "support/MemoryDb.h"

#include <gtest/gtest.h>

namespace {

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

MemoryTable lghlaz(const QList<QList<Variant>>& rows)
{
    return {{QStringLiteral("LHREC"), QStringLiteral("LHJAHR"), QStringLiteral("LHFIN1"), QStringLiteral("LHFINR")},
            rows};
}

} // namespace

TEST(CompanyNumberTable, TakesOnlyLhRowsOfTheYearAndHasNoSizeLimit)
{
    QList<QList<Variant>> rows;
    rows.append({t("LX"), Variant::integer(2013), t("Muster AG"), t("abc")});
    rows.append({t("LH"), Variant::integer(2012), t("Muster AG"), t("abc")});
    rows.append({t("LH"), Variant::decimal(QStringLiteral("2013")), t("Muster AG   "), Variant::integer(7)});
    rows.append({t("LH"), t("2013"), t("Muster AG"), t("999999")}); // a second pair: the first one counts
    for (int i = 0; i < 150; ++i)
        rows.append({t("LH"), t("2013"), Variant::text(QStringLiteral("Firma %1").arg(i)), Variant::integer(i)});
    MemoryRecordSet set(lghlaz(rows));
    CompanyNumberTable table;
    table.load(set, t("2013"));
    EXPECT_EQ(table.size(), 151);

    qint16 number = -1;
    ASSERT_TRUE(table.lookUp(QStringLiteral("Muster AG"), number));
    EXPECT_EQ(number, 7);
    ASSERT_TRUE(table.lookUp(QStringLiteral("Firma 149"), number)); // far beyond a hundred pairs
    EXPECT_EQ(number, 149);
    EXPECT_FALSE(table.lookUp(QString(), number)); // no unfilled pair stands for the empty name
    EXPECT_FALSE(table.lookUp(QStringLiteral("Andere AG"), number));
}

TEST(CompanyNumberTable, BadNumbersAndNullsNameFieldAndCompany)
{
    struct Case
    {
        QList<Variant> row;
        bool failsOnLoad;
        int error;
        const char* description;
    };
    const QList<Case> cases = {
        {{t("LH"), t("2013"), t("Muster AG"), t("abc")},
         false,
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': keine Zahl ('abc')."},
        {{t("LH"), t("2013"), t("Muster AG"), t("")},
         false,
         ErrNo::TypeMismatch,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': keine Zahl ('')."},
        {{t("LH"), t("2013"), t("Muster AG"), Variant::integer(40000)},
         false,
         ErrNo::Overflow,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': Zahl außerhalb von -32768 bis 32767 ('40000')."},
        {{t("LH"), t("2013"), t("Muster AG"), Variant()},
         true,
         ErrNo::InvalidUseOfNull,
         "Feld LHFINR der Tabelle LGHLAZ für Firma 'Muster AG': kein Wert (Null)."},
        {{t("LH"), t("2013"), Variant(), t("1")},
         true,
         ErrNo::InvalidUseOfNull,
         "Feld LHFIN1 der Tabelle LGHLAZ (Zeile 1): kein Wert (Null)."},
    };
    for (const Case& c : cases) {
        MemoryRecordSet set(lghlaz({c.row}));
        CompanyNumberTable table;
        try {
            table.load(set, Variant::integer(2013));
            EXPECT_FALSE(c.failsOnLoad) << c.description;
            qint16 number = 0;
            table.lookUp(QStringLiteral("Muster AG"), number);
            ADD_FAILURE() << "no error: " << c.description;
        } catch (const LaError& e) {
            EXPECT_EQ(e.number(), c.error) << c.description;
            EXPECT_EQ(e.description(), QString::fromUtf8(c.description));
        }
    }
}
