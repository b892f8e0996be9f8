#include "platform/AtomicOutputFile.h"

#include "platform/LaError.h"
#include "platform/OutputFileMode.h"
#include "platform/TempFileInUse.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& name)
{
    return QFile::encodeName(name);
}

// The six letters or digits that mkostemp() puts in place of "XXXXXX".
QByteArray randomSuffix()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray suffix(6, 'X');
    for (char& c : suffix)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return suffix;
}

LaError creationError(int code, const QString& target)
{
    if (code == ENOENT) // the folder is missing
        return LaError::runtime(ErrNo::PathNotFound,
                                errorDescription(ErrNo::PathNotFound) + QStringLiteral(": ") + target);
    return fileError(code, target);
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const QString& target, Naming naming, const QString& shownName)
    : m_target(target)
    , m_shownName(shownName.isEmpty() ? target : shownName)
    , m_mode(outputFileMode())
{
    const QString folder = QFileInfo(target).absolutePath();
    errno = EOPNOTSUPP;
    if (naming == Naming::Nameless)
        m_fd = ::open(encoded(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            throw creationError(errno, m_shownName);
        // Hidden files that a killed run left here for the same target.
        TempFileInUse::removeStaleBeside(target);
        // mkostemp creates with O_EXCL and mode 0600: nothing another user put there is written into.
        QByteArray pattern = encoded(folder + QStringLiteral("/.") + QFileInfo(target).fileName()) + ".XXXXXX";
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            throw creationError(errno, m_shownName);
        m_temporaryName = QFile::decodeName(pattern);
    }
    // In use while we live: the clean-up of another run leaves the file alone.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    m_writeName = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (!m_temporaryName.isEmpty())
        ::unlink(encoded(m_temporaryName).constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

void AtomicOutputFile::write(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw fileError(n < 0 ? errno : ENOSPC, m_shownName);
        data += n;
        left -= n;
    }
}

void AtomicOutputFile::commit()
{
    const QByteArray target = encoded(m_target);
    if (::fchmod(m_fd, m_mode) != 0 || ::fsync(m_fd) != 0)
        throw fileError(errno, m_shownName);
    if (m_temporaryName.isEmpty()) {
        // A nameless file gets a name only now, beside the target, and at once the target's name.
        const qsizetype slash = target.lastIndexOf('/');
        const QByteArray prefix = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
        for (quint32 attempt = 0; m_temporaryName.isEmpty(); ++attempt) {
            const QByteArray name = prefix + randomSuffix();
            if (::linkat(AT_FDCWD, encoded(m_writeName).constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
                0)
                m_temporaryName = QFile::decodeName(name);
            else if (errno != EEXIST || attempt == 100)
                throw fileError(errno, m_shownName);
        }
    }
    if (::rename(encoded(m_temporaryName).constData(), target.constData()) != 0)
        throw fileError(errno, m_shownName);
    m_temporaryName.clear();
}
