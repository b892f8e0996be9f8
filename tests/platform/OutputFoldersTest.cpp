#include "platform/OutputFolders.h"

#include "support/OtherUser.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

// What stands at a company folder's name decides whether certificates go there: a folder of ours, or
// a team mate's in the team's folder; never a link, a file or a FIFO, nor a stranger's folder where
// anyone could have put it or may change it.
TEST(OutputFolders, WriteOnlyIntoFoldersNoStrangerCouldHavePutThere)
{
    QTemporaryDir linked; // where a planted link points
    const auto folderOf = [](mode_t mode, uid_t owner) {
        return [mode, owner](const QByteArray& name) {
            ASSERT_EQ(::mkdir(name.constData(), mode), 0);
            ASSERT_EQ(::chmod(name.constData(), mode), 0);
            ASSERT_EQ(::chown(name.constData(), owner, uid_t(-1)), 0);
        };
    };
    const struct
    {
        const char* what;
        mode_t baseMode;
        std::function<void(const QByteArray&)> plant;
        const char* refusal; // nullptr: the file is written into the folder
        bool needsRoot;      // only root can give a folder to another user
    } cases[] = {
        {"missing", 01777, nullptr, nullptr, false},
        {"ours", 01777, folderOf(0700, ::geteuid()), nullptr, false},
        {"a team mate's in the team's folder", 0770, folderOf(0770, kOtherUid), nullptr, true},
        {"a stranger's in a folder open to all",
         01777,
         folderOf(0755, kOtherUid),
         "gehört dem Benutzer 'nobody'",
         true},
        {"a stranger's open to all", 0770, folderOf(0777, kOtherUid), "gehört dem Benutzer 'nobody'", true},
        {"a link",
         01777,
         [&](const QByteArray& name) { QFile::link(linked.path(), QFile::decodeName(name)); },
         "kein Ordner",
         false},
        {"a file",
         01777,
         [](const QByteArray& name) { writeBytes(QFile::decodeName(name), "x"); },
         "kein Ordner",
         false},
        {"a FIFO", 01777, [](const QByteArray& name) { ::mkfifo(name.constData(), 0666); }, "kein Ordner", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && ::geteuid() != 0) {
            std::printf("skipped \"%s\": only root can give a folder to another user\n", c.what);
            continue;
        }
        QTemporaryDir base;
        ASSERT_EQ(::chmod(QFile::encodeName(base.path()).constData(), c.baseMode), 0);
        const QString folder = base.filePath(QStringLiteral("Rhône Transports SA"));
        if (c.plant)
            c.plant(QFile::encodeName(folder));
        OutputFolders folders(base.path());
        try {
            writeBytes(folders.fileInside(QStringLiteral("Rhône Transports SA/Meier Hans.pdf")), "%PDF");
            EXPECT_EQ(c.refusal, nullptr);
            EXPECT_EQ(readBytes(folder + QStringLiteral("/Meier Hans.pdf")), "%PDF");
            if (!c.plant) {
                EXPECT_EQ(modeOf(folder), 0700);
            }
        } catch (const LaError& e) {
            ASSERT_NE(c.refusal, nullptr) << qPrintable(e.description());
            EXPECT_EQ(e.number(), ErrNo::PathFileAccess);
            EXPECT_TRUE(e.description().contains(u'"' + folder + u'"')) << qPrintable(e.description());
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.refusal))) << qPrintable(e.description());
        }
    }
    EXPECT_TRUE(QDir(linked.path()).isEmpty());
}
