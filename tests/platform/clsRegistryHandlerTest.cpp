#include "platform/clsRegistryHandler.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <sys/resource.h>

namespace {

// The writer half of the two-process test: the test program started again with
// LA_REGISTRY_WRITER=<prefix>:<count> writes its values and ends before any test runs.
const int kWriterExitCode = [] {
    const QByteArray job = qgetenv("LA_REGISTRY_WRITER");
    if (job.isEmpty())
        return 0;
    const QList<QByteArray> parts = job.split(':');
    int rc = 0;
    try {
        clsRegistryHandler store;
        for (int i = 0; i < parts.value(1).toInt(); ++i)
            store.SaveSettingLong(QString::fromLatin1(parts.value(0)) + QString::number(i), i);
    } catch (const LaError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        rc = 1;
    }
    std::exit(rc);
}();

const char* const kSection = "[HKEY_CURRENT_USER\\Software\\Tessar Vozavureda\\LOVAR/400 Rariz Neuer Lohnausweis]";
const auto HKCU = clsRegistryHandler::HKEY_CURRENT_USER_;

std::pair<int, QString> errorOf(const std::function<void()>& f)
{
    const LaError e = raisedBy(f);
    return {e.number(), e.source()};
}

class RegistryTest : public ::testing::Test
{
protected:
    QString storePath() const { return config.path() + QStringLiteral("/Tessar Vozavureda/registry.reg"); }
    QByteArray storeText() const { return readBytes(storePath()); }
    void writeStore(const QByteArray& text) const { writeBytes(storePath(), text); }
    // A text value, "NULL" when there is none.
    QString text(const QString& name) { return store.GetSettingString(name, QStringLiteral("NULL")); }

    QTemporaryDir config;
    const ScopedEnv xdg{"XDG_CONFIG_HOME", config.path()};
    clsRegistryHandler store;
};

} // namespace

#include <fcntl.h>
#include <sys/file.h>

TEST_F(RegistryTest, DefaultsThenValuesOfEachKindWrittenLikeAnExport)
{
    EXPECT_EQ(clsRegistryHandler::storeFilePath(), storePath());
    EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP")), QString());
    EXPECT_EQ(store.GetSettingLong(QStringLiteral("Medium"), 7), 7);
    EXPECT_FALSE(store.GetSettingByte(QStringLiteral("B")).has_value());
    EXPECT_TRUE(store.GetAllValues(HKCU).isEmpty());
    store.deleteValue(QStringLiteral("FOP"));
    EXPECT_FALSE(QFileInfo::exists(storePath())); // reading and deleting nothing create no store

    store.SaveSettingString(QStringLiteral("Source"), QStringLiteral("SYS1"));
    store.SaveSettingLong(QStringLiteral("Medium"), 1);
    store.SaveSettingLong(QStringLiteral("PDFOpen"), -1);
    store.SaveSettingByte(QStringLiteral("Bytes"), QByteArray("\x01\xff", 2));
    store.SaveSettingString(QStringLiteral("Empty"), QString());
    EXPECT_EQ(storeText(),
              QByteArray("REGEDIT4\n\n") + kSection +
                  "\n\"Source\"=\"SYS1\"\n\"Medium\"=dword:00000001\n\"PDFOpen\"=dword:ffffffff\n"
                  "\"Bytes\"=hex:01,ff\n\"Empty\"=\"\"\n\n");

    clsRegistryHandler reader;
    EXPECT_EQ(reader.GetSettingString(QStringLiteral("SOURCE")), QStringLiteral("SYS1")); // names ignore case
    EXPECT_EQ(reader.GetSettingLong(QStringLiteral("Medium")), 1);
    EXPECT_EQ(reader.GetSettingLong(QStringLiteral("PDFOpen")), -1);
    EXPECT_EQ(reader.GetSettingByte(QStringLiteral("Bytes")), QByteArray("\x01\xff", 2));
    EXPECT_EQ(text(QStringLiteral("Empty")), QString());
    // A value of another kind counts as missing.
    EXPECT_EQ(reader.GetSettingLong(QStringLiteral("Source"), 5), 5);
    EXPECT_EQ(text(QStringLiteral("Medium")), QStringLiteral("NULL"));
    EXPECT_FALSE(reader.GetSettingByte(QStringLiteral("Source")).has_value());

    EXPECT_EQ(reader.GetAllValues(HKCU).size(), 5);
}

TEST_F(RegistryTest, TextsRoundTripWithEscapesAndLineBreaks)
{
    const QString texts[] = {
        QStringLiteral("C:\\Programme\\fop\\fop.bat"),
        QStringLiteral("say \"hi\" \\\" end\\"),
        QStringLiteral("Zürich Genève € 🙂"),
        QStringLiteral("two\r\nlines\nand [HKEY_CURRENT_USER\\x]"),
        QStringLiteral("  blanks kept  "),
    };
    for (const QString& t : texts) {
        store.SaveSettingString(QStringLiteral("T"), t);
        EXPECT_EQ(text(QStringLiteral("T")), t);
        EXPECT_EQ(store.GetAllKeys(HKCU), QStringList());
    }
    EXPECT_EQ(storeText().count('\n'), 5); // header, blank, key, value, blank: the line break stayed inside
}

TEST_F(RegistryTest, ForeignContentIsKeptByteForByteAndReadLikeTheRegistry)
{
    // Another program's key in Windows-1252 with a continued byte list, CR LF line ends throughout.
    const QByteArray head("REGEDIT4\r\n\r\n; written by hand\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
                          "\"Ort\"=\"Z\xfcrich \x80\"\r\n\"Bin\"=hex:01,\\\r\n  02\r\n\r\n");
    const QByteArray tail("\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tessar Vozavureda\\LOVAR/400 Rariz Neuer "
                          "Lohnausweis\\Sub\\Deeper]\r\n\"x\"=dword:00000002");
    writeStore(head + kSection +
               "\r\nthis is not a value\r\n\"Long\"=hex:01,02,\\\r\n  03,04\r\n\"Gone\"=-\r\n"
               "\"Twice\"=\"first\"\r\n\"Twice\"=\"second\"" +
               tail);
    EXPECT_EQ(store.GetSettingByte(QStringLiteral("Long")), QByteArray("\x01\x02\x03\x04", 4));
    EXPECT_EQ(text(QStringLiteral("Gone")), QStringLiteral("NULL"));
    EXPECT_EQ(text(QStringLiteral("Twice")), QStringLiteral("second"));
    EXPECT_EQ(text(QStringLiteral("Ort")), QStringLiteral("NULL")); // another program's key
    EXPECT_EQ(store.GetAllKeys(HKCU), QStringList{QStringLiteral("Sub")});

    store.SaveSettingString(QStringLiteral("Twice"), QStringLiteral("third"));
    store.SaveSettingLong(QStringLiteral("Medium"), 0);
    EXPECT_EQ(storeText(),
              head + kSection +
                  "\r\nthis is not a value\r\n\"Long\"=hex:01,02,\\\r\n  03,04\r\n\"Gone\"=-\r\n"
                  "\"Twice\"=\"third\"\r\n\"Medium\"=dword:00000000" +
                  tail);
}

TEST_F(RegistryTest, ALinkedStoreIsFollowedAndAProtectedOneReported)
{
    store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("OLD"));
    const QString target = config.path() + QStringLiteral("/dotfiles/registry.reg");
    QDir().mkpath(QFileInfo(target).absolutePath());
    ASSERT_TRUE(QFile::rename(storePath(), target));
    ASSERT_TRUE(QFile::link(QStringLiteral("../dotfiles/registry.reg"), storePath()));
    const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QFile::setPermissions(target, shared);
    store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("NEW"));
    EXPECT_TRUE(QFileInfo(storePath()).isSymLink());
    EXPECT_EQ(QFileInfo(target).permissions() & 0x0fff, QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup);
    EXPECT_EQ(text(QStringLiteral("Lib")), QStringLiteral("NEW"));

    // A read-only store file, a lock another process holds: reported, the store unchanged.
    const QByteArray before = storeText();
    const int lockFd = ::open(QFile::encodeName(storePath() + QStringLiteral(".lock")).constData(), O_RDWR);
    const std::function<void()> protect[] = {[&] { QFile::setPermissions(target, QFile::ReadOwner); },
                                             [&] { ::flock(lockFd, LOCK_EX); }};
    for (const auto& step : protect) {
        step();
        EXPECT_EQ(errorOf([&] { store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("X")); }),
                  std::pair(ErrNo::PermissionDenied, QStringLiteral("clsRegistryHandler.SaveSettingString")));
        EXPECT_EQ(storeText(), before);
        QFile::setPermissions(target, shared);
        ::flock(lockFd, LOCK_UN);
    }
    ::close(lockFd);
}

TEST_F(RegistryTest, DeletesReachOnlyOwnValuesAndNothingIsCached)
{
    const QByteArray other("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n\"Keep\"=\"yes\"\n\n");
    writeStore(other);
    clsRegistryHandler window;
    EXPECT_EQ(window.GetSettingString(QStringLiteral("A"), QStringLiteral("NULL")), QStringLiteral("NULL"));
    store.SaveSettingString(QStringLiteral("A"), QStringLiteral("a"));
    store.SaveSettingString(QStringLiteral("B"), QStringLiteral("b"));
    EXPECT_EQ(window.GetSettingString(QStringLiteral("A")), QStringLiteral("a"));
    store.deleteValue(QStringLiteral("a"));
    EXPECT_EQ(text(QStringLiteral("A")), QStringLiteral("NULL"));
    EXPECT_EQ(text(QStringLiteral("B")), QStringLiteral("b"));
    writeStore(other + kSection + "\n\"B\"=\"EDITED\"\n"); // edited by hand
    EXPECT_EQ(window.GetSettingString(QStringLiteral("B")), QStringLiteral("EDITED"));
    store.deleteKey();
    EXPECT_EQ(text(QStringLiteral("B")), QStringLiteral("NULL"));
    EXPECT_EQ(storeText(), other);
}

TEST_F(RegistryTest, ACrashedWriteNeverLeavesATornStore)
{
    store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("GOOD"));
    const QByteArray good = storeText();

    // What a writer killed before its rename leaves behind.
    writeBytes(storePath() + QStringLiteral(".tmpAbC123"), QByteArray("REGEDIT4\n\n") + kSection + "\n\"Lib\"=\"HAL");
    EXPECT_EQ(text(QStringLiteral("Lib")), QStringLiteral("GOOD"));

    // A write that fails half-way (the file size limit stands in for a full disk).
    struct rlimit old
    {
    };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = good.size() + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const auto error = errorOf([&] { store.SaveSettingString(QStringLiteral("Lib"), QString(500, u'x')); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(error, std::pair(ErrNo::DiskFull, QStringLiteral("clsRegistryHandler.SaveSettingString")));
    EXPECT_EQ(storeText(), good);

    store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("NEW"));
    const QStringList rest = QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files);
    EXPECT_EQ(rest, (QStringList{QStringLiteral("registry.reg"), QStringLiteral("registry.reg.lock")}));
}

TEST_F(RegistryTest, AWriteThatCannotReachTheStoreIsReported)
{
    // A file where the store's directory belongs: no write can succeed, and none may claim to.
    writeBytes(config.path() + QStringLiteral("/Tessar Vozavureda"), {});
    EXPECT_EQ(errorOf([&] { store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("B")); }),
              std::pair(ErrNo::PathNotFound, QStringLiteral("clsRegistryHandler.SaveSettingString")));
    EXPECT_EQ(errorOf([&] { store.deleteKey(); }),
              std::pair(ErrNo::PathNotFound, QStringLiteral("clsRegistryHandler.deleteKey")));
    EXPECT_EQ(text(QStringLiteral("Lib")), QStringLiteral("NULL"));
}

// A file far larger than a settings file (a log saved under its name) is neither read nor replaced.
TEST_F(RegistryTest, AnOversizedStoreIsRefusedAndKept)
{
    const QByteArray big = "Windows Registry Editor Version 5.00\r\n" + QByteArray(1024 * 1024, ';');
    writeBytes(storePath(), big);
    const LaError refused = raisedBy([&] { store.GetSettingString(QStringLiteral("Lib")); });
    EXPECT_EQ(refused.source(), QStringLiteral("clsRegistryHandler.GetSettingString"));
    EXPECT_TRUE(refused.description().startsWith(
        QStringLiteral("Die Einstellungsdatei '%1' ist grösser als 1048576 Bytes").arg(storePath())));
    raisedBy([&] { store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("B")); });
    EXPECT_EQ(readBytes(storePath()), big);
}

TEST_F(RegistryTest, TwoProcessesWritingAtOnceLoseNoValue)
{
    constexpr int kCount = 50;
    QProcess first;
    QProcess second;
    for (auto [process, prefix] : {std::pair{&first, "P"}, std::pair{&second, "Q"}}) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        env.insert(QStringLiteral("LA_REGISTRY_WRITER"),
                   QStringLiteral("%1:%2").arg(QLatin1String(prefix)).arg(kCount));
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start(QCoreApplication::applicationFilePath(), {});
    }
    for (QProcess* process : {&first, &second}) {
        ASSERT_TRUE(process->waitForFinished(-1));
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 0);
    }
    for (int i = 0; i < kCount; ++i) {
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("P%1").arg(i), -5), i);
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("Q%1").arg(i), -5), i);
    }
    EXPECT_EQ(store.GetAllValues(HKCU).size(), 2 * kCount);
}
