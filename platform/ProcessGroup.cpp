#include "platform/ProcessGroup.h"

#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

void runInOwnProcessGroup(QProcess& process)
{
    const pid_t parent = ::getpid();
    // Runs in the child between fork and exec.
    process.setChildProcessModifier([parent] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // This program died before the line above took effect.
        if (::getppid() != parent)
            ::_exit(127);
    });
}

void signalProcessGroup(long long group, int signal)
{
    if (group > 0)
        ::kill(-static_cast<pid_t>(group), signal);
}

void endProcessGroup(QProcess& process, long long group, int graceMs)
{
    signalProcessGroup(group, SIGTERM);
    process.waitForFinished(graceMs);
    signalProcessGroup(group, SIGKILL);
    process.waitForFinished(-1);
}
