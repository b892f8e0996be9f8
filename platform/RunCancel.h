#pragma once

#include <QObject>

class LaError;

// The request to cancel the run under way: made by the user (the main window's close question) or
// by a termination signal of the headless run, and honoured by everything that waits during a run.
// The process runner ends its child programs at once; the run then ends with the cancel error.
class RunCancel : public QObject
{
    Q_OBJECT

public:
    void request();
    // A new run starts without a request.
    void reset() { m_requested = false; }
    bool isRequested() const { return m_requested; }
    // Throws cancelledError() when a request is pending.
    void throwIfRequested() const;

    // The error a cancelled run ends with (number 18, the runtime's user interrupt).
    static LaError cancelledError();

signals:
    void requested();

private:
    bool m_requested = false;
};
