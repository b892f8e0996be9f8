#pragma once

#include <QString>

// The end of a program's output, for the run log: a formatter that loops over a warning can print
// hundreds of megabytes, of which the last lines say what went wrong. Keeps the last `limit`
// characters; what was cut off is noted in front.
class OutputTail
{
public:
    explicit OutputTail(qsizetype limit);

    void append(const QString& text);
    void clear();
    // The text kept, after a line naming how much was left out when anything was.
    QString text() const;

    // The formatter's output kept per call.
    static constexpr qsizetype kFormatterLimit = 64 * 1024;

private:
    qsizetype m_limit;
    qsizetype m_dropped = 0;
    QString m_text;
};
