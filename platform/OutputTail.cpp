#include "platform/OutputTail.h"

OutputTail::OutputTail(qsizetype limit)
    : m_limit(limit)
{
}

void OutputTail::append(const QString& text)
{
    m_text += text;
    // Cut only once twice the limit has piled up, so that a stream of small chunks is not copied
    // over and over.
    if (m_text.size() > 2 * m_limit) {
        const qsizetype excess = m_text.size() - m_limit;
        m_dropped += excess;
        m_text.remove(0, excess);
    }
}

void OutputTail::clear()
{
    m_dropped = 0;
    m_text.clear();
}

QString OutputTail::text() const
{
    const qsizetype excess = std::max<qsizetype>(0, m_text.size() - m_limit);
    const qsizetype dropped = m_dropped + excess;
    if (dropped == 0)
        return m_text;
    return QStringLiteral("\r\n[Ausgabe gekürzt: die ersten %1 Zeichen sind weggelassen, es folgen die letzten %2.]")
               .arg(dropped)
               .arg(m_limit) +
           m_text.mid(excess);
}
