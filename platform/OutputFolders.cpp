#include "platform/OutputFolders.h"

#include "platform/FileDescriptor.h"
#include "platform/LaError.h"
#include "platform/LockHolder.h"
#include "platform/OutputFileMode.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

LaError folderError(int code, const QString& folder)
{
    // ELOOP: O_NOFOLLOW met a link; ENOTDIR: a file or FIFO stands at the name.
    if (code == ELOOP || code == ENOTDIR)
        return LaError::runtime(ErrNo::PathFileAccess,
                                QStringLiteral("Unter dem Namen \"%1\" steht kein Ordner, sondern eine Verknüpfung "
                                               "oder Datei; dorthin wird nichts geschrieben.")
                                    .arg(folder));
    if (code == ENOENT)
        return LaError::runtime(ErrNo::PathNotFound,
                                errorDescription(ErrNo::PathNotFound) + QStringLiteral(": ") + folder);
    return fileError(code, folder);
}

// A folder that is someone else's is written into only where no stranger could have put it there or
// may change it: in a folder only trusted users may write to (a team's shared folder), and not open to
// everyone itself. In a folder open to all (mode 1777) it may have been planted under the company's
// name, and its owner could swap the certificates after the run.
void refuseStrangersFolder(int parent, int fd, const QString& folder)
{
    struct stat own
    {
    };
    struct stat above
    {
    };
    if (::fstat(fd, &own) != 0 || ::fstat(parent, &above) != 0)
        throw fileError(errno, folder);
    if (own.st_uid == ::geteuid() || own.st_uid == 0 || ((above.st_mode | own.st_mode) & S_IWOTH) == 0)
        return;
    throw LaError::runtime(
        ErrNo::PathFileAccess,
        QStringLiteral("Der Ordner \"%1\" gehört dem Benutzer '%2' und liegt in einem Ordner, in den "
                       "alle schreiben dürfen, oder alle dürfen in ihn schreiben; dorthin wird "
                       "nichts geschrieben. Wählen Sie einen anderen Ausgabeordner, oder lassen "
                       "Sie den Ordner von seinem Besitzer entfernen.")
            .arg(folder, userName(own.st_uid)));
}

} // namespace

OutputFolders::OutputFolders(const QString& base)
    : m_base(QDir::cleanPath(QDir(base).absolutePath()))
{
    // The output folder is the user's choice and may itself be a link; only what lies below is made here.
    auto fd = std::make_shared<FileDescriptor>(
        ::open(QFile::encodeName(m_base).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd->get() < 0)
        throw folderError(errno, m_base);
    m_open.insert(QString(), fd);
}

OutputFolders::~OutputFolders() = default;

QString OutputFolders::shownName(const QString& relativePath) const
{
    return m_base + u'/' + relativePath;
}

QString OutputFolders::fileInside(const QString& relativePath)
{
    const qsizetype slash = relativePath.lastIndexOf(u'/');
    const int fd = folder(slash < 0 ? QString() : relativePath.left(slash));
    return QStringLiteral("/proc/self/fd/%1/").arg(fd) + relativePath.mid(slash + 1);
}

int OutputFolders::folder(const QString& relativeFolder)
{
    if (const auto it = m_open.constFind(relativeFolder); it != m_open.constEnd())
        return (*it)->get();
    const qsizetype slash = relativeFolder.lastIndexOf(u'/');
    const int parent = folder(slash < 0 ? QString() : relativeFolder.left(slash));
    const QByteArray name = QFile::encodeName(relativeFolder.mid(slash + 1));
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        throw LaError::runtime(ErrNo::InvalidCall, shownName(relativeFolder));

    const mode_t fileMode = outputFileMode();
    // Whoever may read the files may also enter the folder: 0600 gives 0700, 0640 gives 0750.
    if (::mkdirat(parent, name.constData(), (fileMode | ((fileMode & 0444) >> 2)) & 0777) != 0 && errno != EEXIST)
        throw folderError(errno, shownName(relativeFolder));
    auto fd = std::make_shared<FileDescriptor>(
        ::openat(parent, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (fd->get() < 0)
        throw folderError(errno, shownName(relativeFolder));
    refuseStrangersFolder(parent, fd->get(), shownName(relativeFolder));
    m_open.insert(relativeFolder, fd);
    return fd->get();
}
