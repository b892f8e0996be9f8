#pragma once

#include <QString>

// A file that replaces its target only when it is complete. It is written as a file without a name in
// the target's folder (O_TMPFILE; on file systems without it, under a hidden temporary name there),
// readable by the owner only, and put in place by commit() with one rename. Until then the previous
// target stays as it was; when the object dies without commit(), or the process is killed, nothing of
// the new content is left under the target's name or beside it.
class AtomicOutputFile
{
public:
    // Throws LaError (76 for a missing folder, 70, 75, ...) naming the target when the file cannot be made.
    explicit AtomicOutputFile(const QString& target);
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // The name under which the content is to be written (opened anew by the writer).
    const QString& writeName() const { return m_writeName; }

    // Writes the content to disk and renames it over the target, with the permissions a newly created
    // file gets. Throws LaError naming the target; the target is then unchanged.
    void commit();

private:
    QString m_target;
    QString m_writeName;
    QString m_temporaryName; // the named temporary file, when the file system has no O_TMPFILE
    int m_fd = -1;
};
