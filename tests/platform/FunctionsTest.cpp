#include "platform/Functions.h"

#include "app/Globals.h"
#include "support/OtherUser.h"
#include "support/RecordingPrompt.h"
#include "support/TestFiles.h"

#include <QSet>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    writeBytes(path, {});
}

} // namespace

TEST(getApplFilePath, ResolvesAgainstTheProgramThenTheDataDirectoryNeverTheCurrentOne)
{
    struct Restore
    {
        QString appPath = gAppPath;
        QString cwd = QDir::currentPath();
        ~Restore() { gAppPath = appPath, QDir::setCurrent(cwd); }
    } restore;
    QTemporaryDir prefix;
    QTemporaryDir elsewhere;
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    gAppPath = bin;
    const QString data = installedDataDirectory();
    ASSERT_TRUE(data.startsWith(prefix.path() + u'/')) << qPrintable(data);
    ASSERT_TRUE(QDir::setCurrent(elsewhere.path()));
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);

    touch(bin + QStringLiteral("/fop/fop"));
    touch(bin + QStringLiteral("/xsl/a.xsl"));
    touch(data + QStringLiteral("/fop/fop"));
    touch(data + QStringLiteral("/xsl/installed.xsl"));
    touch(elsewhere.filePath(QStringLiteral("local.xsl")));
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/xsl/dir.xsl"))); // a directory is no file
    const QString absolute = bin + QStringLiteral("/xsl/a.xsl");
    struct Case
    {
        QString path;
        QString expected;
        bool found;
    };
    const Case cases[] = {
        // Beside the program wins over the data directory.
        {QStringLiteral("./fop/fop"), bin + QStringLiteral("/fop/fop"), true},
        {QStringLiteral("xsl/a.xsl"), absolute, true},
        {QStringLiteral("./xsl/installed.xsl"), data + QStringLiteral("/xsl/installed.xsl"), true},
        {QStringLiteral("xsl/installed.xsl"), data + QStringLiteral("/xsl/installed.xsl"), true},
        {absolute, absolute, true},
        // A file in the current directory may have been planted there by another user.
        {QStringLiteral("local.xsl"), bin + QStringLiteral("/local.xsl"), false},
        {QStringLiteral("./local.xsl"), bin + QStringLiteral("/local.xsl"), false},
        {QStringLiteral("./xsl/dir.xsl"), bin + QStringLiteral("/xsl/dir.xsl"), false},
        {QStringLiteral("xsl/missing.xsl"), bin + QStringLiteral("/xsl/missing.xsl"), false},
        {QStringLiteral("/no/such/file"), QStringLiteral("/no/such/file"), false},
    };
    for (const Case& c : cases) {
        prompt.boxes.clear();
        EXPECT_EQ(getApplFilePath(c.path), c.expected) << qPrintable(c.path);
        if (c.found) {
            EXPECT_TRUE(prompt.boxes.isEmpty()) << qPrintable(c.path);
            continue;
        }
        ASSERT_EQ(prompt.boxes.size(), 1) << qPrintable(c.path);
        EXPECT_EQ(prompt.boxes[0].style, 16);
        EXPECT_EQ(prompt.boxes[0].title,
                  QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : Functions.getApplFilePath"));
        EXPECT_EQ(prompt.boxes[0].text,
                  QStringLiteral("Fehlernummer:  10000\r\nfrmMain\r\n\r\nPfad für '") + c.path +
                      QStringLiteral("' nicht gefunden."));
    }

    // A folder of the data directory that may not be read is named as such, not as missing.
    if (::geteuid() != 0)
        return; // only root can take the part of another user here
    touch(data + QStringLiteral("/xsl/hidden.xsl"));
    for (const QString& open : {prefix.path(), elsewhere.path()})
        ASSERT_EQ(::chmod(QFile::encodeName(open).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(data + QStringLiteral("/xsl")).constData(), 0700), 0);
    prompt.boxes.clear();
    {
        const ActAsOtherUser other;
        getApplFilePath(QStringLiteral("xsl/hidden.xsl"));
    }
    ASSERT_EQ(prompt.boxes.size(), 1);
    EXPECT_TRUE(prompt.boxes[0].text.endsWith(
        QStringLiteral("Pfad für 'xsl/hidden.xsl' nicht lesbar: ein Ordner von '%1/xsl/hidden.xsl' darf nicht "
                       "gelesen werden.")
            .arg(data)))
        << prompt.boxes[0].text.toStdString();
}

TEST(GetTempDir, TmpdirOrAPrivateDirectoryUnderTmp)
{
    QTemporaryDir tmp;
    const QString withSlash = tmp.path() + QStringLiteral("/");
    const QString notADirectory = QStringLiteral("/nonexistent/tmp");
    const QString own = QStringLiteral("/tmp/lohnausweis-%1").arg(::geteuid());
    for (const std::optional<QString>& value :
         {std::optional(withSlash), std::optional(notADirectory), std::optional<QString>()}) {
        const ScopedEnv env("TMPDIR", value);
        const QString expected = value == withSlash ? tmp.path() : own;
        EXPECT_EQ(GetTempDir(false), expected);
        EXPECT_EQ(GetTempDir(true), expected + QStringLiteral("/"));
    }
    EXPECT_EQ(modeOf(own), 0700);
}

TEST(GetTempDir, ForeignOrPlantedNamesGiveAFreshPrivateFolder)
{
    QTemporaryDir base;
    const QString own = base.path() + QStringLiteral("/lohnausweis-%1").arg(::geteuid());
    bool taken = true;

    // Made by us with too wide rights: narrowed, then used.
    ASSERT_TRUE(QDir().mkdir(own));
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
    EXPECT_EQ(userTempDirectory(base.path(), &taken), own);
    EXPECT_FALSE(taken);
    EXPECT_EQ(modeOf(own), 0700);
    ASSERT_TRUE(QDir().rmdir(own));

    // A link planted by someone else (pointing at a directory they can read), a file, another
    // user's folder (root only can make one).
    QTemporaryDir target;
    const std::function<void()> plants[] = {
        [&] { QFile::link(target.path(), own); },
        [&] { touch(own); },
        [&] { QDir().mkdir(own) && ::geteuid() == 0 && ::chown(QFile::encodeName(own).constData(), kOtherUid, 0); }};
    for (const auto& plant : plants) {
        plant();
        const QString fresh = userTempDirectory(base.path(), &taken);
        EXPECT_TRUE(taken || ::geteuid() != 0);
        if (!taken)
            continue;
        EXPECT_TRUE(fresh.startsWith(own + u'-')) << qPrintable(fresh);
        EXPECT_EQ(modeOf(fresh), 0700);
        // The same folder next time, so that the log and the temporary files stay together.
        EXPECT_EQ(userTempDirectory(base.path()), fresh);
        QDir(fresh).removeRecursively();
        QFile::remove(own) || QDir().rmdir(own);
    }
    EXPECT_TRUE(QDir(target.path()).isEmpty());
}

TEST(CreateTempFile, EmptyPrivateUniqueFilesWithThePrefix)
{
    QTemporaryDir dir;
    QTemporaryDir tmp;
    const ScopedEnv env("TMPDIR", tmp.path());
    QSet<QString> names;
    // Only the first three characters count; the unique part never holds a "_". An empty directory
    // stands for the temporary directory.
    for (const QString& in : {dir.path(), dir.path(), QString(), QString()}) {
        const QString name = CreateTempFile(QStringLiteral("tmp_XML"), in);
        const QFileInfo info(name);
        EXPECT_EQ(info.absolutePath(), in.isEmpty() ? tmp.path() : dir.path());
        EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("tmp")));
        EXPECT_FALSE(info.fileName().contains(u'_'));
        EXPECT_TRUE(info.isFile());
        EXPECT_EQ(info.size(), 0);
        EXPECT_EQ(modeOf(name), 0600);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 4);
}

TEST(CreateTempFile, FailureGivesEmptyTextAndNoBox)
{
    RecordingPrompt prompt;
    ScopedPrompt installed(prompt);
    QTemporaryDir dir;
    EXPECT_EQ(CreateTempFile(QStringLiteral("tmp"), dir.filePath(QStringLiteral("missing"))), QString());
    // A slash in the prefix cannot lead the file into another directory.
    EXPECT_EQ(QFileInfo(CreateTempFile(QStringLiteral("a/b"), dir.path())).absolutePath(), dir.path());
    EXPECT_TRUE(prompt.boxes.isEmpty());
}
