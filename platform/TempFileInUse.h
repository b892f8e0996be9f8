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

    // Removes from `directory` the temporary files that a run killed before it could tidy up
    // (SIGKILL, power loss) left behind: plain files of ours, older than a minute and not in use,
    // named like the run's documents ("tmp" and six letters or digits, ".tmp") and holding a salary
    // declaration, or named like the files the formatter renders into ("pdf", six letters or digits,
    // ".tmp") and empty or holding a PDF. Nothing else is touched. Returns the number of files removed.
    static int removeStale(const QString& directory);
    // The same for the hidden files ".<name>.XXXXXX" that a killed run left beside its output `target`
    // (see AtomicOutputFile), whatever they hold.
    static int removeStaleBeside(const QString& target);
    // removeStale() for the temporary and the private temporary folder (see Functions.h), at start-up.
    static void removeStaleOfKilledRuns();

private:
    int m_fd = -1;
};
