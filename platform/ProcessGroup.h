#pragma once

class QProcess;

// Child programs that may start programs in turn (the formatter's launcher starts Java) run in a
// process group of their own, so that ending one reaches all of them.

// How long a group that is ended may take to go on SIGTERM before it is killed.
inline constexpr int kProcessGroupGraceMs = 2000;

// Makes the process, when started, lead a process group of its own, and end when this program dies
// without a chance to tidy up, so that no child runs on as an orphan.
void runInOwnProcessGroup(QProcess& process);

// Sends `signal` to the process group `group` (the pid of its leader, taken when it started); does
// nothing for 0. The group is named rather than taken from the QProcess, which forgets the pid once
// the leader has ended, while members it started may still run.
void signalProcessGroup(long long group, int signal);

// Ends a group: SIGTERM, up to `graceMs` for the leader to end, then SIGKILL to whatever of the group
// is left (members that ignore SIGTERM, or that a SIGTERM racing with their start missed), and
// reaps the leader.
void endProcessGroup(QProcess& process, long long group, int graceMs = kProcessGroupGraceMs);
