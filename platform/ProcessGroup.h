#pragma once

class QProcess;

// Child programs that may start programs in turn (the formatter's launcher starts Java) run in a
// process group of their own, so that ending one reaches all of them.

// How long a group that is ended may take to go on SIGTERM before it is killed.
inline constexpr int kProcessGroupGraceMs = 2000;

// Makes the process, when started, lead a process group of its own, and end when this program dies
// without a chance to tidy up, so that no child runs on as an orphan.
void runInOwnProcessGroup(QProcess& process);

// Sends `signal` to the process group of the started process; does nothing when it has none.
void signalProcessGroup(const QProcess& process, int signal);
