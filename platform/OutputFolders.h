#pragma once

#include <QHash>
#include <QString>
#include <memory>

class FileDescriptor;

// The folders below an output folder that a run writes into (one per company, ...). Each is made when
// missing, with the permissions of outputFileMode() plus the right to enter it for whoever may read,
// and opened folder by folder from the output folder down without following a link; the run keeps
// them open. A link, FIFO or file someone put at a folder's name is refused, never followed, and a
// link put there after the folder was opened does not redirect the files written into it. A folder of
// another user is refused where a stranger could have planted or may change it.
class OutputFolders
{
public:
    // Opens `base` (the folder of the output name). Throws LaError 76 naming it when it is missing, 70
    // or 75 when it cannot be opened.
    explicit OutputFolders(const QString& base);
    ~OutputFolders();
    OutputFolders(const OutputFolders&) = delete;
    OutputFolders& operator=(const OutputFolders&) = delete;

    const QString& base() const { return m_base; }

    // The name through which the file `relativePath` (folders and file name separated by "/", none of
    // them "." or "..") is reached inside the opened folders ("/proc/self/fd/N/name"), for writers that
    // take a name. Makes and opens the folders on the way. Throws LaError naming the folder that cannot
    // be made or opened or that is no folder.
    QString fileInside(const QString& relativePath);

    // The name the user knows: the base, "/" and `relativePath`.
    QString shownName(const QString& relativePath) const;

private:
    int folder(const QString& relativeFolder);

    QString m_base;
    QHash<QString, std::shared_ptr<FileDescriptor>> m_open; // by folder below the base; "" is the base
};
