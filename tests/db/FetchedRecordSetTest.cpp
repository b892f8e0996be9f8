#include "db/FetchedRecordSet.h"

#include "platform/LaError.h"

#include <gtest/gtest.h>

namespace {

int errorNumber(const std::function<void()>& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return e.number();
    }
    return 0;
}

TEST(FetchedRecordSet, KeepsEveryValueKindExactly)
{
    FetchedRecordSet rs({QStringLiteral("A"), QStringLiteral("B")});
    const QString longText = QString(70000, u'ä') + QStringLiteral("  ");
    const QDateTime stamp(QDate(2025, 12, 31), QTime(23, 59, 58, 123));
    const QList<Variant> values{Variant(),
                                Variant::integer(-9223372036854775807LL - 1),
                                Variant::floating(-0.5),
                                Variant::text(longText),
                                Variant::decimal(QStringLiteral("-000123.40")),
                                Variant::date(QDate(1900, 2, 28)),
                                Variant::timestamp(stamp),
                                Variant::text(QString())};
    for (const Variant& v : values) {
        switch (v.kind()) {
        case Variant::Kind::Null:
            rs.addNull();
            break;
        case Variant::Kind::Integer:
            rs.addInteger(v.toText().toLongLong());
            break;
        case Variant::Kind::Double:
            rs.addDouble(v.toDouble());
            break;
        case Variant::Kind::Text:
            rs.addText(v.toText());
            break;
        case Variant::Kind::Decimal: {
            const QByteArray digits = v.toText().toLatin1();
            rs.addDecimal(digits.constData(), digits.size());
            break;
        }
        case Variant::Kind::Date:
            rs.addDate(v.toDate());
            break;
        case Variant::Kind::Timestamp:
            rs.addTimestamp(stamp);
            break;
        }
    }
    ASSERT_EQ(rs.rowCount(), 4);
    QList<Variant> read;
    for (; !rs.isEOF(); rs.moveNext()) {
        read.append(rs.value(0));
        read.append(rs.value(QStringLiteral("b")));
    }
    EXPECT_EQ(read, values);
}

TEST(FetchedRecordSet, PositionsAndErrorsOfAnAdoResult)
{
    FetchedRecordSet rs({QStringLiteral("EFLDH1")});
    rs.addText(QStringLiteral("a"));
    rs.addText(QStringLiteral("b"));
    EXPECT_EQ(rs.absolutePosition(), 1);
    rs.moveLast();
    EXPECT_EQ(rs.absolutePosition(), 2);
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    EXPECT_EQ(rs.absolutePosition(), -3);
    EXPECT_EQ(errorNumber([&] { rs.value(0); }), ErrNo::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { rs.moveNext(); }), ErrNo::NoCurrentRecord);
    rs.moveFirst();
    EXPECT_EQ(rs.value(QStringLiteral("efldh1")), Variant::text(QStringLiteral("a")));
    EXPECT_EQ(errorNumber([&] { rs.value(QStringLiteral("EFLDH")); }), ErrNo::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs.value(1); }), ErrNo::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { rs.value(-1); }), ErrNo::ItemNotFound);
    rs.close();
    EXPECT_NE(errorNumber([&] { rs.isEOF(); }), 0);

    FetchedRecordSet empty({QStringLiteral("X")});
    EXPECT_TRUE(empty.isEOF());
    empty.moveLast();
    EXPECT_TRUE(empty.isEOF());
}

} // namespace
