#pragma once

#include <QString>

// Keeps two runs (of this or another program instance, of this or another user) from writing the same
// output file at the same time: an advisory lock (flock) on a hidden lock file beside the output. The
// system releases it when the process ends in any way, so a killed run does not block the next one.
class OutputLock
{
public:
    // Takes the lock for `target`. Throws LaError 70 naming the file when another run holds it, LaError
    // 75 when the lock file is a symbolic link. Where no lock file can be made (missing or read-only
    // folder) nothing can be written either; the run then fails at its own writing, so no lock is taken.
    explicit OutputLock(const QString& target);
    // Removes the lock file and releases the lock.
    ~OutputLock();
    OutputLock(const OutputLock&) = delete;
    OutputLock& operator=(const OutputLock&) = delete;

    bool isHeld() const { return m_fd >= 0; }

    // ".<name>.lock" in the folder of `target`.
    static QString lockFileFor(const QString& target);

private:
    QString m_lockFile;
    int m_fd = -1;
};
