#include "report/PersonTable.h"

#include "support/MemoryDb.h"

#include <gtest/gtest.h>

namespace {

MemoryTable persons(const QList<QList<Variant>>& rows)
{
    return {{QStringLiteral("PNAME"),
             QStringLiteral("PSTR"),
             QStringLiteral("PORT"),
             QStringLiteral("PKTON"),
             QStringLiteral("PSEXCD")},
            rows};
}

Variant t(const char* text)
{
    return Variant::text(QString::fromUtf8(text));
}

} // namespace

TEST(PersonTable, MatchesByTrimmedNameStreetAndTownFirstRowWins)
{
    MemoryRecordSet rows(persons({
        {t("Muster Hans   "), t("  Bahnhofstrasse 1 "), t(" Zürich  "), t("ZH"), Variant::integer(2)},
        {t("Muster Hans"), t("Bahnhofstrasse 1"), t("Zürich"), t("BE"), Variant::integer(1)},
        {t("D'Amico Luca"), t("Via Roma 3"), t("Lugano"), t("TI"), Variant::decimal(QStringLiteral("1"))},
        {Variant(), t("Via Roma 3"), t("Lugano"), t("XX"), Variant::integer(2)},
        {t("Weber Anna"), t("Gasse 2"), t("Bern"), Variant(), t("2")},
    }));
    PersonTable table;
    table.load(rows);
    EXPECT_TRUE(rows.isEOF());
    EXPECT_EQ(table.size(), 3);

    const PersonTable::Person* hans =
        table.find(QStringLiteral("Muster Hans  "), QStringLiteral(" Bahnhofstrasse 1"), QStringLiteral("Zürich "));
    ASSERT_NE(hans, nullptr);
    EXPECT_EQ(hans->canton, t("ZH")); // the first of two rows with the same key
    EXPECT_EQ(hans->sexCode, Variant::integer(2));

    const PersonTable::Person* luca =
        table.find(QStringLiteral("D'Amico Luca"), QStringLiteral("Via Roma 3"), QStringLiteral("Lugano"));
    ASSERT_NE(luca, nullptr);
    EXPECT_EQ(luca->canton, t("TI"));

    const PersonTable::Person* anna =
        table.find(QStringLiteral("Weber Anna"), QStringLiteral("Gasse 2"), QStringLiteral("Bern"));
    ASSERT_NE(anna, nullptr);
    EXPECT_TRUE(anna->canton.isNull()); // kept: the caller decides what a missing canton means

    // Leading blanks of the name count, and the comparison is exact.
    EXPECT_EQ(table.find(QStringLiteral(" Muster Hans"), QStringLiteral("Bahnhofstrasse 1"), QStringLiteral("Zürich")),
              nullptr);
    EXPECT_EQ(table.find(QStringLiteral("muster hans"), QStringLiteral("Bahnhofstrasse 1"), QStringLiteral("Zürich")),
              nullptr);
    EXPECT_EQ(table.find(QStringLiteral("Muster Hans"), QStringLiteral("Bahnhofstrasse 1"), QStringLiteral("Zurich")),
              nullptr);
}
