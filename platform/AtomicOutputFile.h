#pragma once

#include <QByteArray>
#include <QString>
#include <sys/types.h>

// A file that replaces its target only when it is complete. The program creates it itself, exclusively
// and owner-only, in the target's folder: without a name (O_TMPFILE), or on file systems without that
// under a new hidden name ".<target name>.XXXXXX" there. commit() gives it the permissions of
// outputFileMode() and puts it in place with one rename, which replaces whatever stands at the
// target's name (a file, a link, a FIFO) without following or opening it. Until then the previous
// target stays as it was; when the object dies without commit(), or the process is killed, nothing of
// the new content is left under the target's name (a hidden file of a killed run goes with the next
// file made for the same target).
class AtomicOutputFile
{
public:
    enum class Naming
    {
        Nameless, // O_TMPFILE where the file system has it
        Hidden,   // always the hidden name, as on file systems without O_TMPFILE (network shares)
    };

    // Throws LaError (76 for a missing folder, 70, 75, ...) naming the target when the file cannot be
    // made, and the error of outputFileMode() for a bad setting. Errors name the target as `shownName`
    // when one is given: a target reached through an open folder (/proc/self/fd/N/...) means nothing to
    // the user.
    explicit AtomicOutputFile(const QString& target, Naming naming = Naming::Nameless, const QString& shownName = {});
    ~AtomicOutputFile();
    AtomicOutputFile(const AtomicOutputFile&) = delete;
    AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

    // A name under which a writer may open the file anew (mode 0 of clsFSConnect, a library that wants a
    // file name). It leads through this process's descriptor table to this object's file, never to
    // whatever someone puts under a name in the target's folder meanwhile.
    const QString& writeName() const { return m_writeName; }

    // Appends `bytes`. Throws LaError naming the target (61 for a full disk, ...).
    void write(const QByteArray& bytes);

    // Writes the content to disk and renames it over the target. Throws LaError naming the target; the
    // target is then unchanged.
    void commit();

    const QString& target() const { return m_target; }

private:
    QString m_target;
    QString m_shownName;
    QString m_writeName;
    QString m_temporaryName; // the file's name beside the target, once it has one
    mode_t m_mode;
    int m_fd = -1;
};
