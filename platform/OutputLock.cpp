#include "platform/OutputLock.h"

#include "platform/FileDescriptor.h"
#include "platform/LaError.h"
#include "platform/LockHolder.h"

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

// Two runs could otherwise write the same files at once and leave a mix of both; so a lock that cannot
// be had is a refusal, never a run without one.
LaError refusal(const QString& lockFile, const QString& reason)
{
    struct stat st
    {
    };
    const QString owner = ::lstat(QFile::encodeName(lockFile).constData(), &st) == 0
                              ? QStringLiteral(" (Eigentümer: '%1')").arg(userName(st.st_uid))
                              : QString();
    return LaError::runtime(ErrNo::PermissionDenied,
                            QStringLiteral("Der Lauf wird nicht ausgeführt: die Sperrdatei \"%1\"%2 kann nicht "
                                           "gesperrt werden (%3). Ohne Sperre könnten zwei Läufe zugleich dieselben "
                                           "Dateien schreiben; bitte lassen Sie die Sperrdatei entfernen.")
                                .arg(lockFile, owner, reason));
}

LaError refusalFor(int code, const QString& lockFile, const QString& target)
{
    if (code == ENOENT) // the output's folder is missing, as the writing would find out as well
        return LaError::runtime(ErrNo::PathNotFound,
                                errorDescription(ErrNo::PathNotFound) + QStringLiteral(": ") + target);
    if (code == ELOOP)
        return refusal(lockFile, QStringLiteral("sie ist eine symbolische Verknüpfung"));
    if (code == ENOLCK || code == EOPNOTSUPP || code == EINVAL)
        return refusal(lockFile, QStringLiteral("das Dateisystem kennt keine Sperren"));
    return refusal(lockFile, errorDescription(errorNumberForErrno(code)));
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
        // Never through a link, never waiting: a FIFO planted at the name would block open() for good.
        // Readable for all: another user's run must be able to open the file to lock it.
        constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | kFlags, 0644);
        if (fd < 0 && errno == EACCES)
            fd = ::open(name.constData(), O_RDONLY | kFlags);
        if (fd < 0)
            throw refusalFor(errno, m_lockFile, target);
        FileDescriptor file(fd);
        struct stat st
        {
        };
        if (::fstat(fd, &st) != 0)
            throw refusalFor(errno, m_lockFile, target);
        if (!S_ISREG(st.st_mode))
            throw refusal(m_lockFile, QStringLiteral("sie ist keine gewöhnliche Datei"));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK)
                throw refusalFor(errno, m_lockFile, target);
            throw LaError::runtime(
                ErrNo::PermissionDenied,
                QStringLiteral("Die Datei \"%1\" wird gerade von einem anderen Lauf geschrieben (%2; in diesem oder "
                               "einem anderen Programmfenster). Bitte warten Sie, bis jener Lauf beendet ist, und "
                               "starten Sie diesen Lauf dann erneut.")
                    .arg(QFileInfo(target).absoluteFilePath(), lockHolderText(fd)));
        }
        if (sameFile(fd, name)) {
            m_fd = file.release();
            return;
        }
    }
    throw refusal(m_lockFile, QStringLiteral("sie wird fortlaufend ersetzt"));
}

OutputLock::~OutputLock()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so no other run can take the lock on the name in between.
    ::unlink(QFile::encodeName(m_lockFile).constData());
    ::close(m_fd);
}
