#include "platform/clsFSConnect.h"

#include "platform/LaError.h"
#include "platform/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

template <typename F> LaError expectError(F&& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return LaError(0, {}, {});
}

class FSConnectTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    QByteArray writeAll(const QStringList& pieces)
    {
        const QString file = path(QStringLiteral("out.txt"));
        {
            clsFSConnect out;
            out.init(file, 0);
            for (const QString& piece : pieces) {
                out.setValue(piece);
                out.update();
            }
        }
        return readBytes(file);
    }
};

struct LineStep
{
    QString value;
    int position;
    bool eof;
};

} // namespace

TEST_F(FSConnectTest, WritesExactlyTheCharactersHandedIn)
{
    EXPECT_EQ(writeAll({QStringLiteral("a"), QStringLiteral("\r\n"), QStringLiteral("b")}), QByteArray("a\r\nb"));
    EXPECT_EQ(writeAll({QStringLiteral("x"), QString(), QStringLiteral("y")}), QByteArray("xy"));
    EXPECT_EQ(writeAll({}), QByteArray());
}

TEST_F(FSConnectTest, UpdateTwiceWritesTheTextTwice)
{
    const QString file = path(QStringLiteral("twice.txt"));
    {
        clsFSConnect out;
        out.init(file, 0);
        out.setValue(QStringLiteral("ab;"));
        out.update();
        out.update();
        EXPECT_EQ(out.getValue(), QStringLiteral("ab;"));
    }
    EXPECT_EQ(readBytes(file), QByteArray("ab;ab;"));
}

TEST_F(FSConnectTest, EncodesWindows1252AndTransliteratesTheRest)
{
    struct Case
    {
        QString text;
        QByteArray bytes;
    };
    const Case cases[] = {
        {QStringLiteral("äöüÄÖÜß"), QByteArray("\xE4\xF6\xFC\xC4\xD6\xDC\xDF")},
        {QStringLiteral("€ 12"), QByteArray("\x80 12")},
        {QStringLiteral("Œuvre „x“ – é"), QByteArray("\x8Cuvre \x84x\x93 \x96 \xE9")},
        {QStringLiteral("Čapek Łódź"),
         QByteArray("Capek L\xF3"
                    "dz")},
        {QStringLiteral("Erdoğan Şahin Ştefan Ionuț"), QByteArray("Erdogan Sahin Stefan Ionut")},
        {QStringLiteral("Đorđe Hołownia Kıvanç Ħal Lőrinc"), QByteArray("Dorde Holownia Kivan\xE7 Hal Lorinc")},
        {QStringLiteral("ﬁx ＡＢ"), QByteArray("fix AB")},
        // Decomposed input is composed first: one byte for "ä", the mark on "q" has no form of its own.
        {QStringLiteral("a\u0308q\u0303"), QByteArray("\xE4q")},
        {QStringLiteral("Жх 中"), QByteArray("?? ?")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(writeAll({c.text}), c.bytes) << qPrintable(c.text);
        EXPECT_EQ(toWindows1252(c.text), c.bytes) << qPrintable(c.text);
    }
}

TEST_F(FSConnectTest, ReadingDecodesWindows1252)
{
    writeBytes(path(QStringLiteral("in.txt")),
               QByteArray("Gr\xFC\xDF"
                          "e \x80\x81"));
    clsFSConnect in;
    in.init(path(QStringLiteral("in.txt")), 1);
    EXPECT_EQ(in.getValue(), QStringLiteral("Grüße €\u0081"));
    EXPECT_EQ(toWindows1252(in.getValue()),
              QByteArray("Gr\xFC\xDF"
                         "e \x80\x81"));
}

TEST_F(FSConnectTest, WriteModeEmptiesOrCreatesTheFile)
{
    const QString existing = path(QStringLiteral("old.txt"));
    writeBytes(existing, QByteArray("old content that is longer"));
    {
        clsFSConnect out;
        out.init(existing, 0);
        EXPECT_EQ(readBytes(existing), QByteArray());
        out.setValue(QStringLiteral("new"));
        out.update();
    }
    EXPECT_EQ(readBytes(existing), QByteArray("new"));

    const QString missing = path(QStringLiteral("missing.txt"));
    {
        clsFSConnect out;
        out.init(missing, 0);
    }
    EXPECT_TRUE(QFileInfo(missing).isFile());
    EXPECT_EQ(readBytes(missing), QByteArray());
}

TEST_F(FSConnectTest, OpenErrorsCarryNumberAndLocation)
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
        {subdir, 1, ErrNo::PathFileAccess},
        {path(QStringLiteral("x.txt")), 70000, ErrNo::Overflow},
    };
    for (const Case& c : cases) {
        clsFSConnect f;
        const LaError e = expectError([&] { f.init(c.file, c.mode); });
        EXPECT_EQ(e.number(), c.number) << qPrintable(c.file);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.init"));
        EXPECT_FALSE(e.description().isEmpty());
    }
}

TEST_F(FSConnectTest, UpdateWithoutAFileForWritingIsBadFileNumber)
{
    writeBytes(path(QStringLiteral("in.txt")), QByteArray("x"));
    clsFSConnect fresh;
    clsFSConnect reading;
    reading.init(path(QStringLiteral("in.txt")), 1);
    clsFSConnect otherMode;
    otherMode.init(path(QStringLiteral("other.txt")), 2);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("other.txt"))));
    for (clsFSConnect* f : {&fresh, &reading, &otherMode}) {
        f->setValue(QStringLiteral("y"));
        const LaError e = expectError([&] { f->update(); });
        EXPECT_EQ(e.number(), ErrNo::BadFileNumber);
        EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.update"));
    }
    EXPECT_EQ(readBytes(path(QStringLiteral("in.txt"))), QByteArray("x"));
}

TEST_F(FSConnectTest, ReadModeWalksLinesLikeARecordSet)
{
    struct Case
    {
        QByteArray content;
        QList<LineStep> steps; // after init, then after each MoveNext
    };
    const Case cases[] = {
        {QByteArray(), {{QString(), 1, true}, {QString(), 1, true}}},
        {QByteArray("x\r\ny"), {{"x", 1, false}, {"y", 2, false}, {"y", 3, true}, {"y", 3, true}}},
        {QByteArray("x\r\ny\r\n"), {{"x", 1, false}, {"y", 2, false}, {"y", 3, true}}},
        {QByteArray("a\nb\rc\r\r\n"), {{"a\nb", 1, false}, {"c", 2, false}, {"", 3, false}, {"", 4, true}}},
        {QByteArray("\r\n"), {{"", 1, false}, {"", 2, true}}},
    };
    for (const Case& c : cases) {
        const QString file = path(QStringLiteral("lines.txt"));
        writeBytes(file, c.content);
        clsFSConnect in;
        in.init(file, 1);
        for (int i = 0; i < c.steps.size(); ++i) {
            if (i > 0)
                in.MoveNext();
            const LineStep& s = c.steps[i];
            EXPECT_EQ(in.getValue(), s.value) << c.content.toHex().constData() << " step " << i;
            EXPECT_EQ(in.AbsolutePosition(), s.position) << c.content.toHex().constData() << " step " << i;
            EXPECT_EQ(in.isEOF(), s.eof) << c.content.toHex().constData() << " step " << i;
        }
    }
}

TEST_F(FSConnectTest, MoveLastAndMoveFirst)
{
    const QString file = path(QStringLiteral("three.txt"));
    writeBytes(file, QByteArray("one\r\ntwo\r\nthree\r\n"));
    clsFSConnect in;
    in.init(file, 1);
    in.MoveLast();
    EXPECT_EQ(in.getValue(), QStringLiteral("three"));
    EXPECT_EQ(in.AbsolutePosition(), 4);
    EXPECT_TRUE(in.isEOF());
    in.MoveFirst();
    EXPECT_EQ(in.getValue(), QStringLiteral("one"));
    EXPECT_EQ(in.AbsolutePosition(), 1);
    EXPECT_FALSE(in.isEOF());
    in.MoveNext();
    EXPECT_EQ(in.getValue(), QStringLiteral("two"));
}

TEST_F(FSConnectTest, CursorStateOfFreshAndWritingObjects)
{
    clsFSConnect fresh;
    EXPECT_TRUE(fresh.isEOF());
    EXPECT_EQ(fresh.AbsolutePosition(), 0);
    EXPECT_EQ(fresh.getValue(), QString());

    clsFSConnect out;
    out.init(path(QStringLiteral("w.txt")), 0);
    out.setValue(QStringLiteral("last"));
    out.update();
    out.MoveNext();
    out.MoveLast();
    out.MoveFirst();
    EXPECT_EQ(out.AbsolutePosition(), 0);
    EXPECT_FALSE(out.isEOF());
    EXPECT_EQ(out.getValue(), QStringLiteral("last"));
    EXPECT_EQ(readBytes(path(QStringLiteral("w.txt"))), QByteArray("last"));
}

TEST_F(FSConnectTest, SecondInitReleasesTheFirstFile)
{
    clsFSConnect out;
    out.init(path(QStringLiteral("first.txt")), 0);
    out.setValue(QStringLiteral("1"));
    out.update();
    out.init(path(QStringLiteral("second.txt")), 0);
    out.setValue(QStringLiteral("2"));
    out.update();
    EXPECT_EQ(readBytes(path(QStringLiteral("first.txt"))), QByteArray("1"));
    EXPECT_EQ(readBytes(path(QStringLiteral("second.txt"))), QByteArray("2"));
}

TEST_F(FSConnectTest, SymlinkInADirectoryOthersCanWriteToIsNotFollowed)
{
    const QString shared = path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkdir(shared));
    ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    const QString victim = path(QStringLiteral("victim.txt"));
    writeBytes(victim, QByteArray("secret"));
    const QString planted = shared + QStringLiteral("/LOVARSLog.txt");
    ASSERT_TRUE(QFile::link(victim, planted));

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
    EXPECT_EQ(readBytes(victim), QByteArray("secret"));
    EXPECT_FALSE(QFileInfo(planted).isSymLink());
    EXPECT_EQ(readBytes(planted), QByteArray("log"));
}

TEST_F(FSConnectTest, SymlinkInAPrivateDirectoryIsFollowedForReading)
{
    writeBytes(path(QStringLiteral("target.txt")), QByteArray("t"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("target.txt")), path(QStringLiteral("link.txt"))));
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0700), 0);
    clsFSConnect in;
    in.init(path(QStringLiteral("link.txt")), 1);
    EXPECT_EQ(in.getValue(), QStringLiteral("t"));
}

TEST_F(FSConnectTest, AWriteThatDoesNotFitIsDiskFull)
{
    // A file size limit makes the write fail the way a full disk does, without filling one.
    struct rlimit old
    {
    };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    LaError e(0, {}, {});
    {
        clsFSConnect out;
        out.init(path(QStringLiteral("full.txt")), 0);
        out.setValue(QStringLiteral("abc"));
        out.update();
        out.setValue(QStringLiteral("defg"));
        e = expectError([&] { out.update(); });
    }
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(e.number(), ErrNo::DiskFull);
    EXPECT_EQ(e.source(), QStringLiteral("clsFSConnect.update"));
}
