#include "platform/AtomicOutputFile.h"

#include "platform/LaError.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray encoded(const QString& name)
{
    return QFile::encodeName(name);
}

// The permissions a file created by open(..., 0666) would get; read without changing the umask, which
// other threads may rely on at the same moment.
mode_t newFileMode()
{
    mode_t mask = 022;
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[256];
        while (std::fgets(line, sizeof line, status)) {
            unsigned int value = 0;
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = mode_t(value);
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~mask;
}

} // namespace

AtomicOutputFile::AtomicOutputFile(const QString& target)
    : m_target(target)
{
    const QString folder = QFileInfo(target).absolutePath();
    m_fd = ::open(encoded(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (m_fd >= 0) {
        // The writer opens the nameless file anew through its descriptor's entry in /proc.
        m_writeName = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
        return;
    }
    if (errno == ENOENT) // the folder is missing
        throw LaError::runtime(ErrNo::PathNotFound,
                               errorDescription(ErrNo::PathNotFound) + QStringLiteral(": ") + target);
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        throw fileError(errno, target);
    QByteArray pattern = encoded(folder + QStringLiteral("/.") + QFileInfo(target).fileName()) + ".XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0)
        throw fileError(errno, target);
    m_temporaryName = QFile::decodeName(pattern);
    m_writeName = m_temporaryName;
}

AtomicOutputFile::~AtomicOutputFile()
{
    if (!m_temporaryName.isEmpty())
        ::unlink(encoded(m_temporaryName).constData());
    if (m_fd >= 0)
        ::close(m_fd);
}

void AtomicOutputFile::commit()
{
    const QByteArray target = encoded(m_target);
    if (::fchmod(m_fd, newFileMode()) != 0 || ::fsync(m_fd) != 0)
        throw fileError(errno, m_target);
    if (m_temporaryName.isEmpty()) {
        // A nameless file gets a name only now, beside the target, and at once the target's name.
        const qsizetype slash = target.lastIndexOf('/');
        const QByteArray prefix = target.left(slash + 1) + '.' + target.mid(slash + 1) + '.';
        for (quint32 attempt = 0; m_temporaryName.isEmpty(); ++attempt) {
            const QByteArray name = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
            if (::linkat(AT_FDCWD, encoded(m_writeName).constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) ==
                0)
                m_temporaryName = QFile::decodeName(name);
            else if (errno != EEXIST || attempt == 100)
                throw fileError(errno, m_target);
        }
    }
    if (::rename(encoded(m_temporaryName).constData(), target.constData()) != 0)
        throw fileError(errno, m_target);
    m_temporaryName.clear();
}
