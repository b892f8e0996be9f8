#pragma once

#include <QString>

// Keeps two runs (of this or another program instance, of this or another user) from writing the same
// output file at the same time: an advisory lock (flock) on a hidden lock file beside the output. The
// system releases it when the process ends in any way, so a killed run does not block the next one.
class OutputLock
{
public:
    // Takes the lock for `target`, without ever waiting. Throws LaError 70 naming the file and the user
    // whose run holds it; LaError 70 naming the lock file and its owner when it cannot be locked (another
    // user's file we may not open, a link, a FIFO or anything but a plain file, a file system without
    // locks, a folder that takes no file); LaError 76 when the folder is missing.
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
