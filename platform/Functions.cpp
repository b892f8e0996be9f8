#include "platform/Functions.h"

#include "app/Globals.h"
#include "platform/LaError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isOrdinaryFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool isDirectory(const QString& path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A path that may exist but cannot be reached: a folder on the way may not be searched by us.
bool isDenied(const QString& path)
{
    struct stat st
    {
    };
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) != 0 && errno == EACCES;
}

// A real directory of ours (not a link), narrowed to owner-only when it was wider.
bool isOwnPrivateDirectory(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::lstat(name.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return (st.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0;
}

QString tempDirectory(bool* privateNameTaken = nullptr)
{
    if (privateNameTaken)
        *privateNameTaken = false;
    const QString fromEnvironment = qEnvironmentVariable("TMPDIR");
    if (!fromEnvironment.isEmpty() && isDirectory(fromEnvironment))
        return QDir::cleanPath(QFileInfo(fromEnvironment).absoluteFilePath());
    return userTempDirectory(QStringLiteral("/tmp"), privateNameTaken);
}

} // namespace

// Another user could have made the name first (or planted a link there) to read or replace the run
// log and the temporary XML with the salary data, so anything not owned by us and not a real
// directory is refused. Falling back to the current directory instead would scatter salary data
// wherever the program was started; a fresh folder of our own (kept for the next calls) is used.
QString userTempDirectory(const QString& base, bool* nameTaken)
{
    const QString prefix = QStringLiteral("lohnausweis-%1").arg(::geteuid());
    const QString path = base + u'/' + prefix;
    if (nameTaken)
        *nameTaken = false;
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
        return {};
    if (isOwnPrivateDirectory(path))
        return path;
    if (nameTaken)
        *nameTaken = true;
    const QStringList earlier = QDir(base).entryList(
        {prefix + QStringLiteral("-??????")}, QDir::Dirs | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : earlier) {
        if (isOwnPrivateDirectory(base + u'/' + name))
            return base + u'/' + name;
    }
    QByteArray pattern = QFile::encodeName(path) + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        return {};
    return QFile::decodeName(pattern);
}

// An installed program lives in <prefix>/bin and its launcher and style sheet in
// <prefix>/share/lohnausweis; the build passes that relative way, so a package unpacked under any
// root finds its own data and not that of another installation.
QString installedDataDirectory()
{
    return QDir::cleanPath(gAppPath + QStringLiteral("/" LA_DATA_RELATIVE_TO_BIN));
}

// A relative setting never means the current folder: a clerk who starts the program from a shared
// folder would otherwise run a launcher or a style sheet (with its extension functions) that another
// user put there.
QStringList applFilePlaces(const QString& path)
{
    if (path.startsWith(u'/'))
        return {path};
    const QString suffix = path.startsWith(QStringLiteral("./")) ? path.mid(1) : u'/' + path;
    return {gAppPath + suffix, installedDataDirectory() + suffix};
}

QString applFileMiss(const QString& path)
{
    for (const QString& place : applFilePlaces(path)) {
        if (isDenied(place))
            return QStringLiteral("Pfad für '%1' nicht lesbar: ein Ordner von '%2' darf nicht gelesen werden.")
                .arg(path, place);
    }
    return QStringLiteral("Pfad für '") + path + QStringLiteral("' nicht gefunden.");
}

QString getApplFilePath(const QString& path)
{
    QString candidate;
    try {
        const QStringList places = applFilePlaces(path);
        candidate = places.front();
        for (const QString& place : places) {
            if (isOrdinaryFile(place))
                return place;
        }
        throw LaError(ErrNo::PathNotFoundOwn, QStringLiteral("frmMain"), applFileMiss(path));
    } catch (...) {
        showError(16, QStringLiteral("Functions.getApplFilePath"));
    }
    return candidate;
}

QString GetTempDir(bool withSeparator)
{
    QString result;
    try {
        const QString dir = tempDirectory();
        if (dir.isEmpty())
            return result;
        if (dir == QStringLiteral("/"))
            result = dir;
        else
            result = withSeparator ? dir + u'/' : dir;
    } catch (...) {
        showError(16, QStringLiteral("Functions.GetTempDir"));
    }
    return result;
}

QString tempDirectoryNote()
{
    bool taken = false;
    const QString dir = tempDirectory(&taken);
    if (!taken)
        return {};
    return QStringLiteral("Der private temporäre Ordner '/tmp/lohnausweis-%1' ist durch eine Verknüpfung, eine "
                          "Datei oder einen Ordner eines anderen Benutzers belegt; verwendet wird '%2'.")
        .arg(::geteuid())
        .arg(dir);
}

QString CreateTempFile(const QString& prefix, const QString& directory)
{
    QString result;
    try {
        QString dir = directory;
        if (dir.isEmpty()) {
            dir = GetTempDir(true);
            if (dir.isEmpty())
                dir = QDir::currentPath();
        }
        if (!dir.endsWith(u'/'))
            dir += u'/';
        // The prefix names the file, it must not lead into another directory.
        QString namePrefix = prefix.left(3);
        namePrefix.replace(u'/', u'_');
        QByteArray pattern = QFile::encodeName(dir + namePrefix) + "XXXXXX.tmp";
        // mkostemps creates the file with O_EXCL and mode 0600: nobody can have made it before us,
        // and nobody else can read the salary data written into it.
        const int fd = ::mkostemps(pattern.data(), 4, O_CLOEXEC);
        if (fd < 0)
            return result;
        ::close(fd);
        result = QFile::decodeName(pattern);
    } catch (...) {
        showError(16, QStringLiteral("Functions.CreateTempFile"));
    }
    return result;
}

QString privateTempDirectory()
{
    const QString dir = GetTempDir(false);
    if (dir.isEmpty())
        return {};
    struct stat st
    {
    };
    if (::lstat(QFile::encodeName(dir).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
        (st.st_mode & (S_IWGRP | S_IWOTH)) == 0)
        return dir;
    return userTempDirectory(dir);
}

void OpenFile(const QString& file)
{
    try {
        // The desktop's associated program; whether one exists is not our concern.
        QProcess::startDetached(QStringLiteral("xdg-open"), {file});
    } catch (...) {
        showError(16, QStringLiteral("Functions.OpenFile"));
    }
}
