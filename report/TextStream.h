#pragma once

#include <QString>

// The document being written: text appended piece by piece in memory, saved at once as UTF-8.
class TextStream
{
public:
    // Appends the text as it stands; no line separator of its own is added.
    void WriteText(const QString& text);

    const QString& text() const { return m_text; }

    // Writes the text as UTF-8 without a byte order mark into `file`, creating it or replacing its
    // content. Throws LaError when the file cannot be opened, written completely or closed.
    void saveToFile(const QString& file) const;

private:
    QString m_text;
};
