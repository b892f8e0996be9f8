#include "platform/RunLogPath.h"

#include "platform/Functions.h"
#include "platform/LaError.h"

#include <QFile>
#include <cerrno>
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
