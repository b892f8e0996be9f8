#pragma once

#include <QString>

// Starts a program from a command line (Windows command-line quoting rules, no shell), with
// standard input from /dev/null and standard output and standard error into one pipe, and
// collects everything it writes until the pipe ends.
class clsShell
{
public:
    // `ret` becomes CR LF + chunk for every chunk read, or the empty text when the program cannot be
    // started. Pending user-interface events are handled between two reads.
    void ExecAndCapture(const QString& sCommandLine,
                        const QString& sCurrentDirectory,
                        QString& ret,
                        bool ShowWindow = false);

    // How the program of the last ExecAndCapture call ended: its exit code, 128 + the signal number
    // when a signal ended it (as a shell reports it), kNotStarted when it could not be started. The
    // captured text alone cannot tell a formatter that failed from one that succeeded.
    int lastExitStatus() const { return m_exitStatus; }
    static constexpr int kNotStarted = -1;

    // The command line split into program and arguments by the Windows rules (double quotes group,
    // backslashes before a quote), for tests and for the runner itself.
    static QStringList splitCommandLine(const QString& commandLine);

private:
    int m_exitStatus = kNotStarted;
};
