#include "platform/AtomicOutputFile.h"

#include "platform/OutputFileMode.h"
#include "platform/clsFSConnect.h"
#include "platform/clsRegistryHandler.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <functional>
#include <sys/stat.h>

TEST(OutputFileMode, OctalModesThatLetTheOwnerReadAndWrite)
{
    const struct
    {
        const char* value;
        int expected; // -1: refused
    } cases[] = {
        {"", 0600},
        {"0640", 0640},
        {" 660 ", 0660},
        {"0644", 0644},
        {"0400", -1},
        {"rw-r-----", -1},
        {"0800", -1},
        {"07777", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const QString value = QString::fromLatin1(c.value);
        if (c.expected >= 0) {
            EXPECT_EQ(outputFileModeFrom(value), mode_t(c.expected));
            continue;
        }
        const LaError e = raisedBy([&] { outputFileModeFrom(value); });
        EXPECT_EQ(e.number(), ErrNo::InvalidCall);
        EXPECT_TRUE(e.description().startsWith(QStringLiteral("Die Einstellung OutputFileMode ('%1')").arg(value)));
    }
}

// Whatever stands at the output's name (a file, or a link or FIFO that another user planted), the new
// file takes its place whole and with the promised permissions; nothing is written through the old name
// and nothing waits for a reader of the FIFO. So with both ways of naming the new file, the hidden one
// written by a writer that opens it anew, as the import file's writer does.
TEST(AtomicOutputFile, TakesThePlaceOfWhateverStandsAtTheNameWithThePromisedMode)
{
    QTemporaryDir dir;
    const ScopedEnv config("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")));
    const QString target = dir.filePath(QStringLiteral("out.csv"));
    const QString victim = dir.filePath(QStringLiteral("victim"));
    const struct
    {
        const char* label;
        std::function<void()> plant;
        const char* mode; // OutputFileMode, nullptr: not set
        mode_t expected;
    } cases[] = {
        {"nothing", [] {}, nullptr, 0600},
        {"old file", [&] { writeBytes(target, "alt"); }, "0640", 0640},
        {"link", [&] { QFile::link(victim, target); }, "640", 0640},
        {"dangling link", [&] { QFile::link(dir.filePath(QStringLiteral("none")), target); }, nullptr, 0600},
        {"FIFO", [&] { ::mkfifo(QFile::encodeName(target).constData(), 0666); }, "0660", 0660},
    };
    for (const auto naming : {AtomicOutputFile::Naming::Nameless, AtomicOutputFile::Naming::Hidden}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.label) + (naming == AtomicOutputFile::Naming::Hidden ? ", hidden" : ""));
            QFile::remove(target);
            writeBytes(victim, "victim");
            c.plant();
            clsRegistryHandler store;
            c.mode ? store.SaveSettingString(QStringLiteral("OutputFileMode"), QString::fromLatin1(c.mode))
                   : store.deleteValue(QStringLiteral("OutputFileMode"));
            // A killed run's file beside the target: it goes with the next hidden one.
            const QString stale = dir.filePath(QStringLiteral(".out.csv.Ab12Cd"));
            if (naming == AtomicOutputFile::Naming::Hidden) {
                QFile half(stale);
                ASSERT_TRUE(half.open(QIODevice::WriteOnly) && half.write("halb") == 4 && half.flush());
                half.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
            }
            {
                AtomicOutputFile unfinished(target, naming);
                unfinished.write("nie");
            }
            AtomicOutputFile file(target, naming);
            if (naming == AtomicOutputFile::Naming::Hidden) {
                clsFSConnect writer;
                writer.init(file.writeName(), 0);
                writer.setValue(QStringLiteral("neu"));
                writer.update();
            } else {
                file.write("neu");
            }
            file.commit();

            ASSERT_TRUE(QFileInfo(target).isFile() && !QFileInfo(target).isSymLink());
            EXPECT_EQ(readBytes(target), QByteArray("neu"));
            EXPECT_EQ(modeOf(target), int(c.expected));
            EXPECT_EQ(readBytes(victim), QByteArray("victim"));
            EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                      (QStringList{"out.csv", "victim"}));
        }
    }
}
