#include "platform/clsFSConnect.h"

#include "support/FSConnectFixture.h"

TEST_F(FSConnectTest, WritesExactlyTheCharactersHandedInAsWindows1252)
{
    struct Case
    {
        QStringList pieces;
        QByteArray bytes;
    };
    const Case cases[] = {
        {{}, QByteArray()},
        {{QStringLiteral("a"), QStringLiteral("\r\n"), QString(), QStringLiteral("b")}, QByteArray("a\r\nb")},
        {{QStringLiteral("äöüÄÖÜß € 12")}, QByteArray("\xE4\xF6\xFC\xC4\xD6\xDC\xDF \x80 12")},
        {{QStringLiteral("Œuvre „x“ – é D’Amico ‘y’")},
         QByteArray("\x8Cuvre \x84x\x93 \x96 \xE9 D\x92"
                    "Amico \x91y\x92")},
        // Names outside Windows-1252 lose their marks rather than becoming "?".
        {{QStringLiteral("Čapek Łódź Erdoğan Ştefan Ionuț")},
         QByteArray("Capek L\xF3"
                    "dz Erdogan Stefan Ionut")},
        {{QStringLiteral("Đorđe Hołownia Kıvanç Ħal Lőrinc ﬁx ＡＢ")},
         QByteArray("Dorde Holownia Kivan\xE7 Hal Lorinc fix AB")},
        // Decomposed input is composed first: one byte for "ä", the mark on "q" has no form of its own.
        {{QStringLiteral("a\u0308q\u0303")}, QByteArray("\xE4q")},
        {{QStringLiteral("Жх 中")}, QByteArray("?? ?")},
    };
    const QString file = path(QStringLiteral("out.txt"));
    for (const Case& c : cases) {
        {
            clsFSConnect out;
            out.init(file, 0);
            for (const QString& piece : c.pieces) {
                out.setValue(piece);
                out.update();
            }
        }
        EXPECT_EQ(readBytes(file), c.bytes) << qPrintable(c.pieces.join(u'|'));
    }
}

TEST_F(FSConnectTest, WriteModeEmptiesTheFileAndASecondInitReleasesIt)
{
    const QString first = path(QStringLiteral("old.txt"));
    const QString second = path(QStringLiteral("new.txt"));
    writeBytes(first, QByteArray("old content that is longer"));
    {
        clsFSConnect out;
        out.init(first, 0);
        EXPECT_EQ(readBytes(first), QByteArray());
        out.setValue(QStringLiteral("ab;"));
        out.update();
        out.update(); // the text stays set: written again
        out.init(second, 0);
        EXPECT_EQ(readBytes(first), QByteArray("ab;ab;"));
        EXPECT_EQ(readBytes(second), QByteArray());

        out.setValue(QStringLiteral("2"));
        out.update();
    }
    EXPECT_EQ(readBytes(second), QByteArray("2"));
}

TEST_F(FSConnectTest, ErrorsCarryNumberAndLocation)
{
    struct Case
    {
        QString file;
        qint64 mode;
        int number;
    };
    const QString subdir = path(QStringLiteral("d"));
    ASSERT_TRUE(QDir().mkdir(subdir));
    const Case cases[] = {
        {path(QStringLiteral("nodir/x.txt")), 0, ErrNo::PathNotFound},
        {path(QStringLiteral("nodir/x.txt")), 1, ErrNo::PathNotFound},
        {path(QStringLiteral("nofile.txt")), 1, ErrNo::FileNotFound},
        {subdir, 0, ErrNo::PathFileAccess},
        {path(QStringLiteral("x.txt")), 70000, ErrNo::Overflow},
    };
    for (const Case& c : cases) {
        clsFSConnect f;
        const LaError e = expectError([&] { f.init(c.file, c.mode); });
        EXPECT_EQ(e.number(), c.number) << qPrintable(c.file);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.init"));
        EXPECT_FALSE(e.description().isEmpty());
    }

    // Writing without a file open for writing, and a write that does not fit (as on a full disk).
    writeBytes(path(QStringLiteral("in.txt")), QByteArray("x"));
    clsFSConnect fresh;
    clsFSConnect reading;
    reading.init(path(QStringLiteral("in.txt")), 1);
    clsFSConnect otherMode;
    otherMode.init(path(QStringLiteral("other.txt")), 2);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("other.txt"))));
    clsFSConnect full;
    full.init(QStringLiteral("/dev/full"), 0);
    for (clsFSConnect* f : {&fresh, &reading, &otherMode, &full}) {
        f->setValue(QStringLiteral("y"));
        const LaError e = expectError([&] { f->update(); });
        EXPECT_EQ(e.number(), f == &full ? ErrNo::DiskFull : ErrNo::BadFileNumber);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.update"));
    }
    EXPECT_EQ(readBytes(path(QStringLiteral("in.txt"))), QByteArray("x"));
}

TEST_F(FSConnectTest, ReadModeWalksLinesLikeARecordSet)
{
    struct Step
    {
        char move; // 'N'ext, 'L'ast, 'F'irst, or ' ' for the state right after init
        QString value;
        int position;
        bool eof;
    };
    struct Case
    {
        QByteArray content;
        QList<Step> steps;
    };
    const Case cases[] = {
        {QByteArray(), {{' ', "", 1, true}, {'N', "", 1, true}}},
        {QByteArray("x\r\ny"), {{' ', "x", 1, false}, {'N', "y", 2, false}, {'N', "y", 3, true}, {'N', "y", 3, true}}},
        // Only CR LF ends a line; a lone CR or LF is part of the text.
        {QByteArray("a\nb\rc\r\r\n"),
         {{' ', "a\nb", 1, false}, {'N', "c", 2, false}, {'N', "", 3, false}, {'N', "", 4, true}}},
        {QByteArray("one\r\ntwo\r\nthree\r\n"),
         {{'L', "three", 4, true}, {'F', "one", 1, false}, {'N', "two", 2, false}}},
        {QByteArray("Gr\xFC\xDF"
                    "e \x80\x81"),
         {{' ', QStringLiteral("Grüße €\u0081"), 1, false}}},
    };
    const QString file = path(QStringLiteral("lines.txt"));
    for (const Case& c : cases) {
        writeBytes(file, c.content);
        clsFSConnect in;
        in.init(file, 1);
        for (int i = 0; i < c.steps.size(); ++i) {
            const Step& s = c.steps[i];
            if (s.move == 'N')
                in.MoveNext();
            else if (s.move == 'L')
                in.MoveLast();
            else if (s.move == 'F')
                in.MoveFirst();
            const std::string where = c.content.toHex().toStdString() + " step " + std::to_string(i);
            EXPECT_EQ(in.getValue(), s.value) << where;
            EXPECT_EQ(in.AbsolutePosition(), s.position) << where;
            EXPECT_EQ(in.isEOF(), s.eof) << where;
        }
    }
}

TEST_F(FSConnectTest, SymlinksAreFollowedOnlyWhereNobodyElseCanPlantThem)
{
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    writeBytes(path(QStringLiteral("victim.txt")), QByteArray("secret"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("victim.txt")), path(QStringLiteral("link.txt"))));
    clsFSConnect own;
    own.init(path(QStringLiteral("link.txt")), 1);
    EXPECT_EQ(own.getValue(), QStringLiteral("secret"));

    const QString shared = path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QString planted = shared + QStringLiteral("/LOVARSLog.txt");
    ASSERT_TRUE(QFile::link(path(QStringLiteral("victim.txt")), planted));
    clsFSConnect in;
    const LaError e = expectError([&] { in.init(planted, 1); });
    EXPECT_EQ(e.number(), ErrNo::PathFileAccess);
    EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.init"));
    {
        clsFSConnect out;
        out.init(planted, 0);
        out.setValue(QStringLiteral("log"));
        out.update();
    }
    EXPECT_EQ(readBytes(path(QStringLiteral("victim.txt"))), QByteArray("secret"));
    EXPECT_FALSE(QFileInfo(planted).isSymLink());
    EXPECT_EQ(readBytes(planted), QByteArray("log"));
}
