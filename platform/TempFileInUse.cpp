#include "platform/TempFileInUse.h"

#include "platform/FileDescriptor.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A run locks its document right after writing it; a younger unlocked file may be one whose run
// has not got that far yet.
constexpr time_t kMinimumAgeSeconds = 60;
// The document's head names the declaration well within this many bytes.
constexpr qsizetype kHeadBytes = 4096;

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool holdsSalaryDeclaration(int fd)
{
    QByteArray head(kHeadBytes, '\0');
    const ssize_t n = ::pread(fd, head.data(), size_t(head.size()), 0);
    if (n <= 0)
        return false;
    head.truncate(n);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    return head.startsWith("<?xml") && head.contains("SalaryDeclaration");
}

bool removeIfStale(const QByteArray& path, time_t now)
{
    struct stat named
    {
    };
    if (::lstat(path.constData(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != ::geteuid() ||
        named.st_nlink != 1 || now - named.st_mtime < kMinimumAgeSeconds)
        return false;
    const FileDescriptor file(::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat opened
    {
    };
    if (file.get() < 0 || ::fstat(file.get(), &opened) != 0 || !sameFile(named, opened))
        return false;
    // A run still going on (another window, a script) holds the lock.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 || !holdsSalaryDeclaration(file.get()))
        return false;
    struct stat again
    {
    };
    return ::lstat(path.constData(), &again) == 0 && sameFile(named, again) && ::unlink(path.constData()) == 0;
}

} // namespace

TempFileInUse::TempFileInUse(const QString& file)
{
    if (file.isEmpty())
        return;
    m_fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (m_fd >= 0)
        ::flock(m_fd, LOCK_EX | LOCK_NB);
}

TempFileInUse::~TempFileInUse()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int TempFileInUse::removeStale(const QString& directory)
{
    if (directory.isEmpty())
        return 0;
    static const QRegularExpression name(QStringLiteral("^tmp[A-Za-z0-9]{6}\\.tmp$"));
    const time_t now = ::time(nullptr);
    int removed = 0;
    const QStringList candidates = QDir(directory).entryList({QStringLiteral("tmp*.tmp")}, QDir::Files | QDir::System);
    for (const QString& entry : candidates) {
        if (name.match(entry).hasMatch() && removeIfStale(QFile::encodeName(directory + u'/' + entry), now))
            ++removed;
    }
    return removed;
}
