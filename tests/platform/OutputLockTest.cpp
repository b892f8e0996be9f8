#include "platform/OutputLock.h"

#include "platform/LockHolder.h"
#include "support/OtherUser.h"
#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A process of another user (as root; of our own user otherwise) holding the lock on `file`.
class ForeignLockHolder
{
public:
    explicit ForeignLockHolder(const QString& file)
    {
        QStringList command{QStringLiteral("flock"), QStringLiteral("-x"), file, QStringLiteral("sleep"), "60"};
        if (::geteuid() == 0)
            command = QStringList{QStringLiteral("setpriv"),
                                  QStringLiteral("--reuid=%1").arg(kOtherUid),
                                  QStringLiteral("--regid=%1").arg(kOtherGid),
                                  QStringLiteral("--clear-groups")} +
                      command;
        m_process.start(command.takeFirst(), command);
        EXPECT_TRUE(m_process.waitForStarted());
        // Locked once /proc/locks lists a lock of the process (flock keeps its pid when it starts sleep).
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return readBytes(QStringLiteral("/proc/locks")).contains(" " + QByteArray::number(pid()) + " "); },
            10000));
    }
    ~ForeignLockHolder()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

} // namespace

// Whatever stands at the lock file's name, the run neither waits nor goes on without a lock: it is
// refused with a message that names the lock file and whose it is, or who holds the lock.
TEST(OutputLock, NeverWaitsAndNeverRunsWithoutALock)
{
    QTemporaryDir dir;
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    const QString target = dir.filePath(QStringLiteral("LA.pdf"));
    const QString lock = OutputLock::lockFileFor(target);
    const QByteArray lockName = QFile::encodeName(lock);
    const bool root = ::geteuid() == 0;
    const QString otherUser = root ? userName(kOtherUid) : userName(::geteuid());
    const QString refused = QStringLiteral("Der Lauf wird nicht ausgeführt: die Sperrdatei \"%1\"").arg(lock);
    const QString mine =
        QStringLiteral(" (Eigentümer: '%1') kann nicht gesperrt werden (sie ist ").arg(userName(::geteuid()));
    std::unique_ptr<ForeignLockHolder> holder;
    const struct
    {
        const char* label;
        std::function<void()> plant;
        QString message; // "" when the lock is to be taken
    } cases[] = {
        {"nothing", [] {}, {}},
        {"FIFO",
         [&] { ::mkfifo(lockName.constData(), 0666); },
         refused + mine + QStringLiteral("keine gewöhnliche Datei)")},
        {"link", [&] { QFile::link(target, lock); }, refused + mine + QStringLiteral("eine symbolische Verknüpfung)")},
        {"held by another run",
         [&] {
             writeBytes(lock, {});
             holder = std::make_unique<ForeignLockHolder>(lock);
         },
         QStringLiteral("Die Datei \"%1\" wird gerade von einem anderen Lauf geschrieben (Benutzer '%2', Prozess")
             .arg(target, otherUser)},
        // Made by a third user, owner-only: the run as "nobody" cannot open it.
        {"unreadable",
         [&] {
             writeBytes(lock, "x");
             ::chmod(lockName.constData(), 0600);
             ::chown(lockName.constData(), 4242, 4242);
         },
         refused + QStringLiteral(" (Eigentümer: 'UID 4242') kann nicht gesperrt werden (Zugriff verweigert)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        if (QByteArray(c.label) == "unreadable" && !root)
            continue; // only root can give a file to a third user
        QFile::remove(lock);
        holder.reset();
        c.plant();
        struct stat before
        {
        };
        ::lstat(lockName.constData(), &before);
        std::optional<LaError> error;
        {
            const ActAsOtherUser other;
            try {
                const OutputLock taken(target);
                EXPECT_TRUE(taken.isHeld());
            } catch (const LaError& e) {
                error = e;
            }
        }
        if (c.message.isEmpty()) {
            EXPECT_FALSE(error) << error->description().toStdString();
            EXPECT_FALSE(QFileInfo::exists(lock)); // removed at the end
            continue;
        }
        ASSERT_TRUE(error);
        EXPECT_EQ(error->number(), ErrNo::PermissionDenied);
        EXPECT_TRUE(error->description().startsWith(c.message)) << error->description().toStdString();
        struct stat after
        {
        };
        ::lstat(lockName.constData(), &after);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
    }
    EXPECT_EQ(raisedBy([&] { OutputLock(dir.filePath(QStringLiteral("fehlt/LA.pdf"))); }).number(),
              ErrNo::PathNotFound);
}
