#include "report/CsvText.h"

#include "platform/LaError.h"

#include <gtest/gtest.h>

using namespace CsvText;

TEST(CsvTextSplit, FirstWordAndRest)
{
    struct Case
    {
        const char* text;
        const char* word;
        const char* rest;
    };
    const Case cases[] = {
        {"Muster Hans Peter", "Muster", "Hans Peter"},
        {"Muster", "Muster", ""},
        {" Muster", "", "Muster"},
        {"Muster   Hans  ", "Muster", "Hans"},
        {"", "", ""},
        {"Muster\tHans", "Muster\tHans", ""}, // only the blank separates
    };
    for (const Case& c : cases) {
        const FirstWordSplit split = splitFirstWord(QString::fromUtf8(c.text));
        EXPECT_EQ(split.word, QString::fromUtf8(c.word)) << c.text;
        EXPECT_EQ(split.rest, QString::fromUtf8(c.rest)) << c.text;
    }
}

TEST(CsvTextAddress, NonBlankPartsJoinedBySingleBlanks)
{
    struct Case
    {
        const char* before;
        const char* street;
        const char* after;
        const char* expected;
    };
    const Case cases[] = {
        {"", "Bahnhofstrasse 1", "Postfach 12", "Bahnhofstrasse 1 Postfach 12"},
        {"", "", "", ""},
        {"   ", "  ", " ", ""},
        {"c/o Meier  ", "Bahnhofstrasse 1   ", "", "c/o Meier Bahnhofstrasse 1"},
        {"c/o Meier", "", "Postfach 12", "c/o Meier Postfach 12"},
        {"", " Gasse 3", "", " Gasse 3"}, // a leading blank of a part stays
        {"A", " Gasse 3", "", "A  Gasse 3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(addressText(QString::fromUtf8(c.before), QString::fromUtf8(c.street), QString::fromUtf8(c.after)),
                  QString::fromUtf8(c.expected))
            << c.before << "|" << c.street << "|" << c.after;
}

TEST(CsvTextClean, SeparatorsAndLineBreaksCannotShiftColumns)
{
    EXPECT_EQ(cleanValue(QStringLiteral("Meier; Co")), QStringLiteral("Meier, Co"));
    EXPECT_EQ(cleanValue(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a  b c d"));
    EXPECT_EQ(cleanValue(QStringLiteral(" Zürich ")), QStringLiteral(" Zürich "));
}

TEST(CsvTextInt16, RoundsHalfToEvenWithinRange)
{
    struct Case
    {
        const char* text;
        int expected;
    };
    const Case cases[] = {
        {"12", 12},
        {" 12 ", 12},
        {"-7", -7},
        {"+7", 7},
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"2.51", 3},
        {".5", 0},
        {"1e2", 100},
        {"32767", 32767},
        {"-32768", -32768},
        {"32767.4", 32767},
        {"-32768.5", -32768},
        {"0012.00", 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toInt16(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(CsvTextInt16, NotNumericIsTypeMismatchOutOfRangeIsOverflow)
{
    struct Case
    {
        const char* text;
        int error;
    };
    const Case cases[] = {
        {"", ErrNo::TypeMismatch},
        {"   ", ErrNo::TypeMismatch},
        {"abc", ErrNo::TypeMismatch},
        {"12a", ErrNo::TypeMismatch},
        {"1,5", ErrNo::TypeMismatch},
        {"1 2", ErrNo::TypeMismatch},
        {"32768", ErrNo::Overflow},
        {"32767.5", ErrNo::Overflow},
        {"-32769", ErrNo::Overflow},
        {"1e400", ErrNo::Overflow},
        {"99999999999", ErrNo::Overflow},
    };
    for (const Case& c : cases) {
        try {
            toInt16(QString::fromUtf8(c.text));
            ADD_FAILURE() << "no error for '" << c.text << "'";
        } catch (const LaError& e) {
            EXPECT_EQ(e.number(), c.error) << c.text;
        }
    }
}
