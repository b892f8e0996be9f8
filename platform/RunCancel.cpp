#include "platform/RunCancel.h"

#include "platform/LaError.h"

#include <QCoreApplication>

namespace {

// Often enough that a click on the close button is answered at once, rarely enough that a loop over
// fifty thousand rows does not spend its time in the event loop.
constexpr qint64 kEventIntervalMs = 100;

} // namespace

void RunCancel::request()
{
    m_pending = true;
    if (m_requested)
        return;
    m_requested = true;
    emit requested();
}

void RunCancel::requestFromAnyThread()
{
    m_pending = true;
    QMetaObject::invokeMethod(
        this, [this] { request(); }, Qt::QueuedConnection);
}

void RunCancel::reset()
{
    m_requested = false;
    m_pending = false;
    m_takenUp = false;
}

void RunCancel::throwIfRequested() const
{
    if (!isRequested())
        return;
    takeUp();
    throw cancelledError();
}

void RunCancel::checkpoint()
{
    if (!m_sinceEvents.isValid() || m_sinceEvents.hasExpired(kEventIntervalMs)) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    throwIfRequested();
}

LaError RunCancel::cancelledError()
{
    return LaError::runtime(ErrNo::UserInterrupt, QStringLiteral("Der Lauf wurde abgebrochen."));
}
