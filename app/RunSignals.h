#pragma once

#include <atomic>
#include <thread>

class RunCancel;

// For the length of a headless run or check: SIGINT, SIGTERM and SIGHUP cancel it through `cancel`
// instead of killing the program, so that its child programs end and its temporary files go. The
// signal handler only writes the signal's number into a pipe; a thread of its own reads it, so that
// a signal is seen also while the run is held in a call that does not come back:
// - the first signal requests the cancel, which the run takes up at its next row, document or wait;
// - when the run has not taken it up a few seconds later (a database that stopped answering and no
//   time-out to end the wait), the program ends with the forced clean-up of the run's RunCancel and
//   the exit status of the signal;
// - a second signal ends the program at once, after the same forced clean-up, with kForcedExit.
// The previous handlers are restored when the object goes.
class RunSignals
{
public:
    explicit RunSignals(RunCancel& cancel);
    ~RunSignals();
    RunSignals(const RunSignals&) = delete;
    RunSignals& operator=(const RunSignals&) = delete;

    // The first signal caught, 0 when none came.
    int caught() const { return m_caught.load(); }
    // The exit status for the first signal caught: 128 and its number (130, 143, 129).
    int exitStatus() const { return 128 + m_caught.load(); }
    // The run has ended: a signal from now on has nothing to wait for.
    void runEnded() { m_runActive = false; }

    // The exit status of a program ended by a second signal.
    static constexpr int kForcedExit = 4;
    // How long a cancel request may stay without being taken up.
    static constexpr int kTakeUpSeconds = 3;

private:
    void watch();
    [[noreturn]] void endNow(const char* message, int status);

    RunCancel& m_cancel;
    std::atomic<int> m_caught{0};
    std::atomic<bool> m_runActive{true};
    std::thread m_watcher;
    bool m_installed = false;
};
