#include "platform/RunCancel.h"

#include "platform/LaError.h"

void RunCancel::request()
{
    if (m_requested)
        return;
    m_requested = true;
    emit requested();
}

void RunCancel::throwIfRequested() const
{
    if (m_requested)
        throw cancelledError();
}

LaError RunCancel::cancelledError()
{
    return LaError::runtime(ErrNo::UserInterrupt, QStringLiteral("Der Lauf wurde abgebrochen."));
}
