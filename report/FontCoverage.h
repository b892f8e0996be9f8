#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

// The characters a set of TrueType fonts has glyphs for, read from their character maps. The
// formatter prints "#" for a character that no font of the certificate's font list has.
class FontCoverage
{
public:
    // A file that cannot be read or is no TrueType font adds nothing.
    explicit FontCoverage(const QStringList& fontFiles);

    // The fonts the certificates are set in (as in fop/fop.xconf); read once.
    static const FontCoverage& certificateFonts();

    // False when no font could be read: then nothing can be said about any character.
    bool isKnown() const { return !m_ranges.empty(); }
    bool covers(char32_t c) const;
    // The characters of `text` that no font covers, each once, in the order of the text; control
    // characters are left out. Empty when nothing is known.
    QString missing(const QString& text) const;

private:
    void addFont(const QByteArray& font);

    std::vector<std::pair<char32_t, char32_t>> m_ranges; // sorted, first and last character
};
