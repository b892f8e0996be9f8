#include "platform/clsFSConnect.h"

#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

class FSConnectTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(FSConnectTest, WritesExactlyTheCharactersHandedInAsWindows1252)
{
    const std::pair<QStringList, QByteArray> cases[] = {
        {{}, QByteArray()},
        {{"a", "\r\n", QString(), "b"}, "a\r\nb"},
        {{QStringLiteral("äöüÄÖÜß € 12")}, "\xE4\xF6\xFC\xC4\xD6\xDC\xDF \x80 12"},
        {{QStringLiteral("Œuvre „x“ – é D’Amico ‘y’")},
         "\x8Cuvre \x84x\x93 \x96 \xE9 D\x92"
         "Amico \x91y\x92"},
        // Names outside Windows-1252 lose their marks rather than becoming "?"; decomposed input is
        // composed first (one byte for "ä"), and a mark without a composed form goes.
        {{QStringLiteral("Čapek Łódź Erdoğan Ştefan Ionuț Đorđe Hołownia Kıvanç Ħal Lőrinc ﬁx ＡＢ a\u0308q\u0303")},
         "Capek L\xF3"
         "dz Erdogan Stefan Ionut Dorde Holownia Kivan\xE7 Hal Lorinc fix AB \xE4q"},
        {{QStringLiteral("Жх 中")}, "?? ?"},
    };
    for (const auto& [pieces, bytes] : cases) {
        {
            clsFSConnect out;
            out.init(path("out.txt"), 0);
            for (const QString& piece : pieces) {
                out.setValue(piece);
                out.update();
            }
        }
        EXPECT_EQ(readBytes(path("out.txt")), bytes) << qPrintable(pieces.join(u'|'));
    }
}

TEST_F(FSConnectTest, WriteModeEmptiesTheFileAndASecondInitReleasesIt)
{
    writeBytes(path("old.txt"), "old content that is longer");
    {
        clsFSConnect out;
        out.init(path("old.txt"), 0);
        EXPECT_EQ(readBytes(path("old.txt")), QByteArray());
        out.setValue(QStringLiteral("ab;"));
        out.update();
        out.update(); // the text stays set: written again
        out.init(path("new.txt"), 0);
        EXPECT_EQ(readBytes(path("old.txt")), QByteArray("ab;ab;"));
        EXPECT_EQ(readBytes(path("new.txt")), QByteArray());
        out.setValue(QStringLiteral("2"));
        out.update();
    }
    EXPECT_EQ(readBytes(path("new.txt")), QByteArray("2"));
}

TEST_F(FSConnectTest, ErrorsCarryNumberAndLocation)
{
    ASSERT_TRUE(QDir().mkdir(path("d")));
    const std::tuple<QString, qint64, int> cases[] = {
        {path("nodir/x.txt"), 0, ErrNo::PathNotFound},
        {path("nodir/x.txt"), 1, ErrNo::PathNotFound},
        {path("nofile.txt"), 1, ErrNo::FileNotFound},
        {path("d"), 0, ErrNo::PathFileAccess},
        {path("x.txt"), 70000, ErrNo::Overflow},
    };
    for (const auto& [file, mode, number] : cases) {
        clsFSConnect f;
        const LaError e = raisedBy([&] { f.init(file, mode); });
        EXPECT_EQ(e.number(), number) << qPrintable(file);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.init"));
        EXPECT_FALSE(e.description().isEmpty());
    }

    // Writing without a file open for writing, and a write that does not fit (as on a full disk).
    writeBytes(path("in.txt"), "x");
    clsFSConnect fresh, reading, otherMode, full;
    reading.init(path("in.txt"), 1);
    otherMode.init(path("other.txt"), 2);
    EXPECT_FALSE(QFileInfo::exists(path("other.txt")));
    full.init(QStringLiteral("/dev/full"), 0);
    for (clsFSConnect* f : {&fresh, &reading, &otherMode, &full}) {
        f->setValue(QStringLiteral("y"));
        const LaError e = raisedBy([&] { f->update(); });
        EXPECT_EQ(e.number(), f == &full ? ErrNo::DiskFull : ErrNo::BadFileNumber);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.update"));
    }
    EXPECT_EQ(readBytes(path("in.txt")), QByteArray("x"));
}

// Each step: a move ('N'ext, 'L'ast, 'F'irst, ' ' none), then the value, position and end seen.
TEST_F(FSConnectTest, ReadModeWalksLinesLikeARecordSet)
{
    struct Step
    {
        char move;
        QString value;
        int position;
        bool eof;
    };
    const std::pair<QByteArray, QList<Step>> cases[] = {
        {"", {{' ', "", 1, true}, {'N', "", 1, true}}},
        {"x\r\ny", {{' ', "x", 1, false}, {'N', "y", 2, false}, {'N', "y", 3, true}, {'N', "y", 3, true}}},
        // Only CR LF ends a line; a lone CR or LF is part of the text.
        {"a\nb\rc\r\r\n", {{' ', "a\nb", 1, false}, {'N', "c", 2, false}, {'N', "", 3, false}, {'N', "", 4, true}}},
        {"one\r\ntwo\r\nthree\r\n", {{'L', "three", 4, true}, {'F', "one", 1, false}, {'N', "two", 2, false}}},
        {"Gr\xFC\xDF"
         "e \x80\x81",
         {{' ', QStringLiteral("Grüße €\u0081"), 1, false}}},
    };
    for (const auto& [content, steps] : cases) {
        writeBytes(path("lines.txt"), content);
        clsFSConnect in;
        in.init(path("lines.txt"), 1);
        for (const Step& s : steps) {
            if (s.move == 'N')
                in.MoveNext();
            else if (s.move == 'L')
                in.MoveLast();
            else if (s.move == 'F')
                in.MoveFirst();
            SCOPED_TRACE(content.toHex().toStdString() + " at " + qPrintable(s.value));
            EXPECT_EQ(in.getValue(), s.value);
            EXPECT_EQ(in.AbsolutePosition(), s.position);
            EXPECT_EQ(in.isEOF(), s.eof);
        }
    }
}

TEST_F(FSConnectTest, SymlinksAreFollowedOnlyWhereNobodyElseCanPlantThem)
{
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    writeBytes(path("victim.txt"), "secret");
    ASSERT_TRUE(QFile::link(path("victim.txt"), path("link.txt")));
    clsFSConnect own;
    own.init(path("link.txt"), 1);
    EXPECT_EQ(own.getValue(), QStringLiteral("secret"));

    ASSERT_TRUE(QDir().mkdir(path("shared")));
    ASSERT_EQ(::chmod(QFile::encodeName(path("shared")).constData(), 01777), 0);
    const QString planted = path("shared/LOVARSLog.txt");
    ASSERT_TRUE(QFile::link(path("victim.txt"), planted));
    clsFSConnect in;
    const LaError e = raisedBy([&] { in.init(planted, 1); });
    EXPECT_EQ(e.number(), ErrNo::PathFileAccess);
    EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.init"));
    {
        clsFSConnect out;
        out.init(planted, 0);
        out.setValue(QStringLiteral("log"));
        out.update();
    }
    EXPECT_EQ(readBytes(path("victim.txt")), QByteArray("secret"));
    EXPECT_FALSE(QFileInfo(planted).isSymLink());
    EXPECT_EQ(readBytes(planted), QByteArray("log"));
}
