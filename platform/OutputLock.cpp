#include "platform/OutputLock.h"

#include "platform/LaError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(int fd, const QByteArray& name)
{
    struct stat open
    {
    };
    struct stat named
    {
    };
    return ::fstat(fd, &open) == 0 && ::lstat(name.constData(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

} // namespace

QString OutputLock::lockFileFor(const QString& target)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

OutputLock::OutputLock(const QString& target)
    : m_lockFile(lockFileFor(target))
{
    const QByteArray name = QFile::encodeName(m_lockFile);
    // A run that ends removes its lock file; one that opened the file just before may then hold a lock on
    // a file without a name, so the lock counts only while the name still leads to the locked file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Readable for all: another user's run must be able to open the file to lock it.
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            if (errno == ELOOP)
                throw LaError::runtime(ErrNo::PathFileAccess,
                                       errorDescription(ErrNo::PathFileAccess) + QStringLiteral(": ") + m_lockFile +
                                           QStringLiteral(" ist eine symbolische Verknüpfung."));
            return;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code == EWOULDBLOCK)
                throw LaError::runtime(
                    ErrNo::PermissionDenied,
                    QStringLiteral("Die Datei \"%1\" wird gerade von einem anderen Lauf geschrieben (in diesem oder "
                                   "einem anderen Programmfenster, auch eines anderen Benutzers). Bitte warten Sie, "
                                   "bis jener Lauf beendet ist, und starten Sie diesen Lauf dann erneut.")
                        .arg(QFileInfo(target).absoluteFilePath()));
            return; // a file system without locks
        }
        if (sameFile(fd, name)) {
            m_fd = fd;
            return;
        }
        ::close(fd);
    }
}

OutputLock::~OutputLock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so no other run can take the lock on the name in between.
    ::unlink(QFile::encodeName(m_lockFile).constData());
    ::close(m_fd);
}
