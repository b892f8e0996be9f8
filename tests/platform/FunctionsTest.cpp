#include "platform/Functions.h"

#include "app/Globals.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

// Restores an environment variable at the end of a test.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray* value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
    ~ScopedEnv()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

class ApplFilePathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_oldAppPath = gAppPath;
        m_oldCwd = QDir::currentPath();
        gAppPath = program.path();
        ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    }
    void TearDown() override
    {
        gAppPath = m_oldAppPath;
        QDir::setCurrent(m_oldCwd);
    }

    QTemporaryDir program;
    QTemporaryDir elsewhere;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};

private:
    QString m_oldAppPath;
    QString m_oldCwd;
};

} // namespace

TEST_F(ApplFilePathTest, FoundPathsResolveWithoutABox)
{
    touch(program.filePath(QStringLiteral("fop/fop")));
    touch(program.filePath(QStringLiteral("xsl/a.xsl")));
    touch(elsewhere.filePath(QStringLiteral("local.xsl")));
    const QString absolute = program.filePath(QStringLiteral("xsl/a.xsl"));
    struct Case
    {
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("./fop/fop"), program.path() + QStringLiteral("/fop/fop")},
        {QStringLiteral("xsl/a.xsl"), program.path() + QStringLiteral("/xsl/a.xsl")},
        {absolute, absolute},
        // Found in the current directory first, taken as it was passed.
        {QStringLiteral("local.xsl"), QStringLiteral("local.xsl")},
        {QStringLiteral("./local.xsl"), QStringLiteral("./local.xsl")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(getApplFilePath(c.path), c.expected) << qPrintable(c.path);
    EXPECT_TRUE(prompt.boxes.isEmpty());
}

TEST_F(ApplFilePathTest, MissingPathShowsTheBoxAndReturnsTheCandidate)
{
    // A directory of that name is no file.
    ASSERT_TRUE(QDir().mkpath(program.filePath(QStringLiteral("fop/fop"))));
    struct Case
    {
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("./fop/fop"), program.path() + QStringLiteral("/fop/fop")},
        {QStringLiteral("xsl/missing.xsl"), program.path() + QStringLiteral("/xsl/missing.xsl")},
        {QStringLiteral("/no/such/file"), program.path() + QStringLiteral("/no/such/file")},
    };
    for (const Case& c : cases) {
        prompt.boxes.clear();
        EXPECT_EQ(getApplFilePath(c.path), c.expected);
        ASSERT_EQ(prompt.boxes.size(), 1);
        EXPECT_EQ(prompt.boxes[0].style, 16);
        EXPECT_EQ(prompt.boxes[0].title,
                  QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : Functions.getApplFilePath"));
        EXPECT_EQ(prompt.boxes[0].text,
                  QStringLiteral("Fehlernummer:  10000\r\nfrmMain\r\n\r\nPfad für '") + c.path +
                      QStringLiteral("' nicht gefunden."));
    }
}

TEST(GetTempDir, TmpdirWithAndWithoutSeparator)
{
    QTemporaryDir tmp;
    const QByteArray value = QFile::encodeName(tmp.path() + QStringLiteral("/"));
    ScopedEnv env("TMPDIR", &value);
    EXPECT_EQ(GetTempDir(false), tmp.path());
    EXPECT_EQ(GetTempDir(true), tmp.path() + QStringLiteral("/"));
}

TEST(GetTempDir, WithoutTmpdirAPrivateDirectoryUnderTmp)
{
    const QByteArray notADirectory("/nonexistent/tmp");
    for (const QByteArray* value : {static_cast<const QByteArray*>(nullptr), &notADirectory}) {
        ScopedEnv env("TMPDIR", value);
        const QString expected = QStringLiteral("/tmp/lohnausweis-%1").arg(::geteuid());
        EXPECT_EQ(GetTempDir(false), expected);
        EXPECT_EQ(GetTempDir(true), expected + QStringLiteral("/"));
        EXPECT_EQ(modeOf(expected), mode_t(0700));
    }
}

TEST(GetTempDir, ForeignOrPlantedNamesAreRefused)
{
    QTemporaryDir base;
    const QString own = base.path() + QStringLiteral("/lohnausweis-%1").arg(::geteuid());

    // Made by us with too wide rights: narrowed, then used.
    ASSERT_TRUE(QDir().mkdir(own));
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    EXPECT_EQ(userTempDirectory(base.path()), own);
    EXPECT_EQ(modeOf(own), mode_t(0700));
    ASSERT_TRUE(QDir().rmdir(own));

    // A link planted by someone else, pointing at a directory they can read.
    QTemporaryDir target;
    ASSERT_TRUE(QFile::link(target.path(), own));
    EXPECT_EQ(userTempDirectory(base.path()), QString());
    ASSERT_TRUE(QFile::remove(own));

    touch(own);
    EXPECT_EQ(userTempDirectory(base.path()), QString());
    ASSERT_TRUE(QFile::remove(own));

    if (::geteuid() == 0) {
        ASSERT_TRUE(QDir().mkdir(own));
        ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
        EXPECT_EQ(userTempDirectory(base.path()), QString());
    }
}

TEST(CreateTempFile, EmptyPrivateUniqueFilesWithThePrefix)
{
    QTemporaryDir dir;
    QSet<QString> names;
    for (int i = 0; i < 300; ++i) {
        // Only the first three characters count; the unique part never holds a "_".
        const QString name = CreateTempFile(QStringLiteral("tmp_XML"), dir.path());
        ASSERT_FALSE(name.isEmpty());
        const QFileInfo info(name);
        EXPECT_EQ(info.absolutePath(), dir.path());
        EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("tmp")));
        EXPECT_FALSE(info.fileName().contains(u'_'));
        EXPECT_TRUE(info.isFile());
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(modeOf(name), mode_t(0600));
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 300);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 300);
}

TEST(CreateTempFile, EmptyDirectoryMeansTheTemporaryDirectory)
{
    QTemporaryDir tmp;
    const QByteArray value = QFile::encodeName(tmp.path());
    ScopedEnv env("TMPDIR", &value);
    const QString name = CreateTempFile(QStringLiteral("tmp"), QString());
    EXPECT_EQ(QFileInfo(name).absolutePath(), tmp.path());
    EXPECT_TRUE(QFileInfo(name).fileName().startsWith(QStringLiteral("tmp")));
    EXPECT_FALSE(name.contains(QChar(0)));
}

TEST(CreateTempFile, FailureGivesEmptyTextAndNoBox)
{
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    QTemporaryDir dir;
    EXPECT_EQ(CreateTempFile(QStringLiteral("tmp"), dir.filePath(QStringLiteral("missing"))), QString());
    // A slash in the prefix cannot lead the file into another directory.
    const QString name = CreateTempFile(QStringLiteral("a/b"), dir.path());
    EXPECT_EQ(QFileInfo(name).absolutePath(), dir.path());
    EXPECT_TRUE(prompt.boxes.isEmpty());
}

TEST(OpenFile, AMissingViewerIsNoError)
{
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    QTemporaryDir emptyPath;
    const QByteArray value = QFile::encodeName(emptyPath.path());
    ScopedEnv env("PATH", &value);
    OpenFile(QStringLiteral("/nonexistent.pdf"));
    EXPECT_TRUE(prompt.boxes.isEmpty());
}
