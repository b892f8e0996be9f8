#pragma once

#include <QByteArray>
#include <QString>
#include <mutex>
#include <vector>

// What a run leaves behind when the program has to end without its ordinary clean-up (a second
// termination signal, a database call that does not come back after a cancel): the process groups
// of the formatter jobs, temporary salary documents, half-written files and the lock file. Their
// owners list them here for as long as they exist; endNow() kills the groups and removes the files
// without waiting for anything. All operations may be called from any thread.
class ForcedExitCleanup
{
public:
    void addFile(const QString& path);
    // Forgets one listing of the file; the file itself is left alone.
    void removeFile(const QString& path);
    void addProcessGroup(qint64 group);
    void removeProcessGroup(qint64 group);

    // SIGKILL to every listed group, every listed file unlinked. Never blocks for long and never
    // throws, so that it can run right before _exit().
    void endNow() noexcept;

private:
    mutable std::mutex m_mutex;
    std::vector<QByteArray> m_files; // encoded, so that endNow() allocates nothing
    std::vector<qint64> m_groups;
};

// Lists a file for the length of a scope; a null cleanup lists nothing.
class ScopedCleanupFile
{
public:
    ScopedCleanupFile(ForcedExitCleanup* cleanup, QString path);
    ~ScopedCleanupFile();
    ScopedCleanupFile(const ScopedCleanupFile&) = delete;
    ScopedCleanupFile& operator=(const ScopedCleanupFile&) = delete;

private:
    ForcedExitCleanup* m_cleanup;
    QString m_path;
};
