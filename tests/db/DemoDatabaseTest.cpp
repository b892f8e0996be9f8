#include "db/DemoDatabase.h"

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/RecordingPrompt.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

bool validAhv(const QString& number)
{
    static const QRegularExpression form(QStringLiteral("^756\\.\\d{4}\\.\\d{4}\\.\\d{2}$"));
    if (!form.match(number).hasMatch())
        return false;
    const QString digits = QString(number).remove(u'.');
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    return (10 - sum % 10) % 10 == digits[12].digitValue();
}

qint64 amount(const DbRecordSet& rs, QLatin1String field)
{
    const Variant v = rs.value(QString(field));
    EXPECT_EQ(v.kind(), Variant::Kind::Integer) << field.data();
    return v.toText().toLongLong();
}

class DemoDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeDemoDatabase(path);
    }

    std::unique_ptr<clsADOConnect> open(const QString& table, const QString& sort = {})
    {
        auto r = std::make_unique<clsADOConnect>();
        r->setSource(QStringLiteral("Provider=IBMDA400;Data Source=") + path + u';');
        r->setLibl(QStringLiteral("DEMO"));
        if (!r->init(table, {}, {}, sort))
            return nullptr;
        return r;
    }

    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("demo.sqlite"));
};

TEST_F(DemoDatabase, CertificatesAreConsistentWithEachOtherAndTheLookupTables)
{
    const auto r = open(QStringLiteral("LGHLAEXP"), QStringLiteral("EFLDI2, EFLDH1"));
    ASSERT_TRUE(r) << qPrintable(prompt.boxes.value(0).text);
    const auto rs = r->getRecordset();

    int rows = 0;
    QSet<QString> companies;
    QSet<QString> people;
    QHash<QString, int> rowsPerPerson;
    int salary = 0, annuity = 0, isoDates = 0, swissDates = 0, wrongGross = 0, wrongAhv = 0;
    for (; !r->isEOF(); r->MoveNext(), ++rows) {
        const DbRecordSet& row = *rs;
        const qint64 gross = amount(row, Field::EB0100) + amount(row, Field::EB0210) + amount(row, Field::EB0220) +
                             amount(row, Field::EB0230) + amount(row, Field::EB0300) + amount(row, Field::EB0400) +
                             amount(row, Field::EB0500) + amount(row, Field::EB0600) + amount(row, Field::EB0700);
        // One row each carries a wrong item 8 and a wrong check digit for the plausibility check.
        wrongGross += amount(row, Field::EB0800) != gross;
        EXPECT_EQ(amount(row, Field::EB1100),
                  amount(row, Field::EB0800) - amount(row, Field::EB0900) - amount(row, Field::EB1010) -
                      amount(row, Field::EB1020))
            << rows;
        wrongAhv += !validAhv(row.value(QString(Field::EFLDC2)).toText());
        EXPECT_EQ(row.value(QString(Field::EFLDD)).toText(), QStringLiteral("2025"));
        for (const QLatin1String field : Field::All)
            EXPECT_FALSE(row.value(QString(field)).isNull()) << field.data();
        const Variant from = row.value(QString(Field::EFLDE1));
        ASSERT_TRUE(from.isDate()) << qPrintable(from.toText());
        ASSERT_TRUE(row.value(QString(Field::EFLDE2)).isDate());
        (from.toText().contains(u'-') ? isoDates : swissDates)++;
        salary += isFlagSet(row.value(QString(Field::EFLDA)));
        annuity += !isFlagSet(row.value(QString(Field::EFLDA))) && isFlagSet(row.value(QString(Field::EFLDB)));
        companies.insert(row.value(QString(Field::EFLDI2)).toText());
        people.insert(row.value(QString(Field::EFLDH1)).toText());
        const QString key = row.value(QString(Field::EFLDC2)).toText() + row.value(QString(Field::EFLDH1)).toText();
        ++rowsPerPerson[key];
    }
    EXPECT_EQ(wrongGross, 1);
    EXPECT_EQ(wrongAhv, 1);
    EXPECT_GE(rows, 38);
    EXPECT_LE(rows, 45);
    EXPECT_EQ(companies.size(), 3);
    EXPECT_GT(salary, 0);
    EXPECT_GT(annuity, 0);
    EXPECT_GT(isoDates, 0);
    EXPECT_GT(swissDates, 0);
    EXPECT_EQ(rowsPerPerson.size(), rows - 1); // exactly one person has two certificates

    // The year table registers exactly the certificates' companies, the person table most people.
    const auto years = open(QStringLiteral("LGHLAZ"));
    ASSERT_TRUE(years);
    QSet<QString> registered;
    for (; !years->isEOF(); years->MoveNext()) {
        const auto rs = years->getRecordset();
        if (rs->value(QStringLiteral("LHREC")).toText() == QLatin1String("LH") &&
            rs->value(QStringLiteral("LHJAHR")).toText() == QLatin1String("2025")) {
            registered.insert(rs->value(QStringLiteral("LHFIN1")).toText());
            EXPECT_GT(rs->value(QStringLiteral("LHFINR")).toDouble(), 0);
        }
    }
    EXPECT_EQ(registered, companies);

    const auto persons = open(QStringLiteral("LGHPS"));
    ASSERT_TRUE(persons);
    int found = 0, emptyCanton = 0;
    for (; !persons->isEOF(); persons->MoveNext()) {
        const auto rs = persons->getRecordset();
        found += people.contains(rs->value(QStringLiteral("PNAME")).toText());
        emptyCanton += rs->value(QStringLiteral("PKTON")).toText().isEmpty();
    }
    EXPECT_GT(found, 30);
    EXPECT_LT(found, people.size()); // some certificates have no person row
    EXPECT_EQ(emptyCanton, 1);
}

TEST_F(DemoDatabase, ReplacesAFileButNoFolderAndRaisesWithLocation)
{
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a database");
    junk.close();
    writeDemoDatabase(path);
    const auto again = open(QStringLiteral("LGHLAEXP"));
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->isEOF());
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));

    try {
        writeDemoDatabase(dir.filePath(QStringLiteral("missing/demo.sqlite")));
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const LaError& e) {
        EXPECT_EQ(e.number(), ErrNo::PathNotFound);
        EXPECT_EQ(e.source(), QStringLiteral("DemoDatabase.writeDemoDatabase"));
    }
    EXPECT_THROW(writeDemoDatabase(dir.path()), LaError);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

} // namespace
