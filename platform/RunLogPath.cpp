#include "platform/RunLogPath.h"

#include "platform/FileDescriptor.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/clsFSConnect.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kLogName = QStringLiteral("LOVARSLog.txt");

// Missing, or a plain file of ours (the log of the last run).
bool isFreeOrOurs(const QString& path)
{
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

// Claims the log file at `path` for this run. Another run holds the lock on its log from the moment it
// has made it until it ends; the existing file is locked here before it is deleted, so a log in use is
// never deleted. Two runs that make the file at the same moment find out by the lock and the name: the
// loser goes on to the next name before it has written anything.
std::unique_ptr<clsFSConnect> claimLog(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const FileDescriptor previous(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (previous.get() < 0 && errno != ENOENT)
        return {};
    if (previous.get() >= 0 && ::flock(previous.get(), LOCK_EX | LOCK_NB) != 0)
        return {};
    auto log = std::make_unique<clsFSConnect>();
    try {
        log->init(path, 0, true);
    } catch (const LaError&) {
        return {};
    }
    struct stat open
    {
    };
    struct stat named
    {
    };
    if (::flock(log->descriptor(), LOCK_EX | LOCK_NB) != 0 || ::fstat(log->descriptor(), &open) != 0 ||
        ::lstat(name.constData(), &named) != 0 || open.st_dev != named.st_dev || open.st_ino != named.st_ino)
        return {};
    return log;
}

} // namespace

QString runLogPath(QStringList& notes)
{
    const QString note = tempDirectoryNote();
    if (!note.isEmpty())
        notes.append(note);
    QString path = GetTempDir(true) + kLogName;
    if (!isFreeOrOurs(path)) {
        bool nameTaken = false;
        const QString own = userTempDirectory(GetTempDir(false), &nameTaken);
        if (own.isEmpty())
            throw fileError(EACCES, path);
        if (nameTaken)
            notes.append(QStringLiteral("Der private Ordner unter '%1' ist durch eine Verknüpfung, eine Datei oder "
                                        "einen Ordner eines anderen Benutzers belegt; verwendet wird '%2'.")
                             .arg(GetTempDir(false), own));
        const QString moved = own + u'/' + kLogName;
        notes.append(QStringLiteral("'%1' ist keine eigene Datei (Verknüpfung, FIFO oder Datei eines anderen "
                                    "Benutzers) und bleibt unberührt; das Protokoll steht in '%2'.")
                         .arg(path, moved));
        path = moved;
        if (!isFreeOrOurs(path))
            throw fileError(EACCES, path);
    }
    return path;
}

std::unique_ptr<clsFSConnect> openRunLog(QStringList& notes)
{
    const QString first = runLogPath(notes);
    const QString stem = first.chopped(4); // ".txt"
    constexpr int kNames = 100;
    for (int number = 1; number <= kNames; ++number) {
        const QString path = number == 1 ? first : stem + QStringLiteral("-%1.txt").arg(number);
        if (!isFreeOrOurs(path))
            continue;
        if (std::unique_ptr<clsFSConnect> log = claimLog(path))
            return log;
    }
    throw fileError(EBUSY, first);
}
