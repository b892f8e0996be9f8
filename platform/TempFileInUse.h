#pragma once

#include <QString>

// Marks a temporary salary document of a run as in use for as long as the object lives (an
// exclusive lock on the file), so that removeStale() of another instance leaves it alone. A file
// that cannot be opened is not marked; that is no error.
class TempFileInUse
{
public:
    explicit TempFileInUse(const QString& file);
    ~TempFileInUse();
    TempFileInUse(const TempFileInUse&) = delete;
    TempFileInUse& operator=(const TempFileInUse&) = delete;

    // Removes from `directory` the temporary salary documents that a run killed before it could tidy
    // up (SIGKILL, power loss) left behind: plain files of ours named like the run's documents
    // ("tmp" and six letters or digits, ".tmp"), holding a salary declaration, older than a minute
    // and not in use. Nothing else is touched. Returns the number of files removed.
    static int removeStale(const QString& directory);

private:
    int m_fd = -1;
};
