#pragma once

#include "platform/ForcedExitCleanup.h"

#include <QElapsedTimer>
#include <QObject>
#include <atomic>

class LaError;

// The request to cancel the run under way: made by the user (the main window's close question) or
// by a termination signal of the headless run, and honoured by everything that waits during a run.
// The process runner ends its child programs at once; the run then ends with the cancel error.
class RunCancel : public QObject
{
    Q_OBJECT

public:
    // On the user interface thread.
    void request();
    // From any thread (the signal watcher): seen at once by isRequested(), and made on the user
    // interface thread as soon as its event loop turns, which wakes the run's waits.
    void requestFromAnyThread();
    // A new run starts without a request.
    void reset();
    bool isRequested() const { return m_requested || m_pending.load(); }
    // Throws cancelledError() when a request is pending; the request then counts as taken up.
    void throwIfRequested() const;
    // For loops that hold the user interface thread (rows of an export or a check): lets the window
    // handle its events now and then, so that its close button can ask for a cancel, then throws as
    // throwIfRequested() does.
    void checkpoint();
    // The run has seen the request and is ending; until then a request may be stuck in a call that
    // does not come back.
    void takeUp() const { m_takenUp = true; }
    bool takenUp() const { return m_takenUp.load(); }

    // What has to go should the program be ended without waiting for the run's own clean-up.
    ForcedExitCleanup& forcedExitCleanup() { return m_cleanup; }

    // The error a cancelled run ends with (number 18, the runtime's user interrupt).
    static LaError cancelledError();

signals:
    void requested();

private:
    bool m_requested = false;
    std::atomic<bool> m_pending{false};
    mutable std::atomic<bool> m_takenUp{false};
    QElapsedTimer m_sinceEvents;
    ForcedExitCleanup m_cleanup;
};

// The forced-exit clean-up of a cancel request that may be null.
inline ForcedExitCleanup* forcedExitCleanupOf(RunCancel* cancel)
{
    return cancel ? &cancel->forcedExitCleanup() : nullptr;
}
