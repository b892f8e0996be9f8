#include "platform/TempFileInUse.h"

#include "platform/FileDescriptor.h"
#include "platform/Functions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

using ContentTest = bool (*)(int fd);

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

// What the formatter writes into the file made for it: nothing yet, or a PDF begun.
bool holdsPdfOrNothing(int fd)
{
    char head[5] = {};
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    return n == 0 || (n == 5 && QByteArray(head, 5) == "%PDF-");
}

bool anyContent(int)
{
    return true;
}

bool removeIfStale(const QByteArray& path, time_t now, ContentTest content)
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
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0 || !content(file.get()))
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
    static const QRegularExpression document(QStringLiteral("^tmp[A-Za-z0-9]{6}\\.tmp$"));
    static const QRegularExpression rendered(QStringLiteral("^pdf[A-Za-z0-9]{6}\\.tmp$"));
    const time_t now = ::time(nullptr);
    int removed = 0;
    const QStringList candidates =
        QDir(directory).entryList({QStringLiteral("tmp*.tmp"), QStringLiteral("pdf*.tmp")}, QDir::Files | QDir::System);
    for (const QString& entry : candidates) {
        const QByteArray path = QFile::encodeName(directory + u'/' + entry);
        if ((document.match(entry).hasMatch() && removeIfStale(path, now, holdsSalaryDeclaration)) ||
            (rendered.match(entry).hasMatch() && removeIfStale(path, now, holdsPdfOrNothing)))
            ++removed;
    }
    return removed;
}

int TempFileInUse::removeStaleBeside(const QString& target)
{
    const QFileInfo info(target);
    const QString prefix = u'.' + info.fileName() + u'.';
    const QRegularExpression name(QStringLiteral("^") + QRegularExpression::escape(prefix) +
                                  QStringLiteral("[A-Za-z0-9]{6}$"));
    const time_t now = ::time(nullptr);
    int removed = 0;
    const QStringList candidates =
        QDir(info.absolutePath()).entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& entry : candidates) {
        if (name.match(entry).hasMatch() &&
            removeIfStale(QFile::encodeName(info.absolutePath() + u'/' + entry), now, anyContent))
            ++removed;
    }
    return removed;
}

void TempFileInUse::removeStaleOfKilledRuns()
{
    const QString temp = GetTempDir(false);
    removeStale(temp);
    if (const QString own = privateTempDirectory(); own != temp)
        removeStale(own);
}
