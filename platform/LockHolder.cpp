#include "platform/LockHolder.h"

#include <QFile>
#include <QList>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

namespace {

// The process holding a FLOCK lock on the file, from a line of /proc/locks such as
// "3: FLOCK  ADVISORY  WRITE 4711 fe:00:10960903 0 EOF" (device numbers in hex, inode in decimal).
pid_t flockHolder(const struct stat& file)
{
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray wanted = QByteArray::number(major(file.st_dev), 16).rightJustified(2, '0') + ':' +
                              QByteArray::number(minor(file.st_dev), 16).rightJustified(2, '0') + ':' +
                              QByteArray::number(quint64(file.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // Waiting requests ("->") hold nothing.
        if (fields.size() < 6 || fields[1] != "FLOCK" || fields[5] != wanted)
            continue;
        bool ok = false;
        const pid_t pid = pid_t(fields[4].toLong(&ok));
        if (ok && pid > 0)
            return pid;
    }
    return 0;
}

} // namespace

QString userName(uid_t uid)
{
    std::vector<char> buffer(16384);
    struct passwd entry
    {
    };
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QStringLiteral("UID %1").arg(uid);
}

QString lockHolderText(int fd)
{
    struct stat file
    {
    };
    if (::fstat(fd, &file) != 0)
        return {};
    struct stat process
    {
    };
    if (const pid_t pid = flockHolder(file);
        pid > 0 && ::stat(QByteArray("/proc/" + QByteArray::number(pid)).constData(), &process) == 0)
        return QStringLiteral("Benutzer '%1', Prozess %2").arg(userName(process.st_uid)).arg(pid);
    return QStringLiteral("Benutzer '%1'").arg(userName(file.st_uid));
}
