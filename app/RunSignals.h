#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;
class RunCancel;

// For the length of a headless run: SIGINT, SIGTERM and SIGHUP cancel the run through `cancel`
// instead of killing the program, so that its child programs end and its temporary files go. The
// signal handler only writes the signal's number into a pipe; the request is made from the event
// loop, which the run keeps turning while it waits for a child program. A second signal of the same
// kind ends the program at once. The previous handlers are restored when the object goes.
class RunSignals : public QObject
{
    Q_OBJECT

public:
    explicit RunSignals(RunCancel& cancel);
    ~RunSignals() override;
    RunSignals(const RunSignals&) = delete;
    RunSignals& operator=(const RunSignals&) = delete;

    // Takes in a signal that came while no events were handled.
    void poll();
    // The first signal caught, 0 when none came.
    int caught() const { return m_caught; }
    // The exit status for the first signal caught: 128 and its number (130, 143, 129).
    int exitStatus() const { return 128 + m_caught; }

private:
    void readPipe();

    RunCancel& m_cancel;
    std::unique_ptr<QSocketNotifier> m_notifier;
    int m_caught = 0;
};
