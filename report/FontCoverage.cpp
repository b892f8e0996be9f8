#include "report/FontCoverage.h"

#include <QFile>
#include <algorithm>

namespace {

// The certificate's font list: the text font and the fallback the formatter takes character by character.
const char* const kCertificateFonts[] = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
};

// A font file is at most a few MB, read whole; reads past its end give 0, so a damaged table yields
// nothing rather than a crash.
struct Bytes
{
    const QByteArray& data;
    quint32 u16(qsizetype at) const
    {
        if (at < 0 || at + 2 > data.size())
            return 0;
        return (quint32(quint8(data[at])) << 8) | quint8(data[at + 1]);
    }
    quint32 u32(qsizetype at) const { return (u16(at) << 16) | u16(at + 2); }
};

} // namespace

FontCoverage::FontCoverage(const QStringList& fontFiles)
{
    for (const QString& name : fontFiles) {
        QFile file(name);
        if (file.open(QIODevice::ReadOnly))
            addFont(file.readAll());
    }
    std::sort(m_ranges.begin(), m_ranges.end());
    std::vector<std::pair<char32_t, char32_t>> merged;
    for (const auto& r : m_ranges) {
        if (!merged.empty() && r.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    m_ranges = std::move(merged);
}

const FontCoverage& FontCoverage::certificateFonts()
{
    static const FontCoverage fonts([] {
        QStringList files;
        for (const char* file : kCertificateFonts)
            files.append(QString::fromLatin1(file));
        return files;
    }());
    return fonts;
}

void FontCoverage::addFont(const QByteArray& font)
{
    const Bytes b{font};
    qsizetype cmap = -1;
    const quint32 tables = b.u16(4);
    for (quint32 i = 0; i < tables; ++i) {
        const qsizetype record = 12 + 16 * qsizetype(i);
        if (font.mid(record, 4) == "cmap")
            cmap = b.u32(record + 8);
    }
    if (cmap < 0)
        return;
    // The Unicode maps: the full one (format 12) where the font has it, else the basic plane (format 4).
    qsizetype full = -1;
    qsizetype basic = -1;
    const quint32 encodings = b.u16(cmap + 2);
    for (quint32 i = 0; i < encodings; ++i) {
        const qsizetype record = cmap + 4 + 8 * qsizetype(i);
        const quint32 platform = b.u16(record);
        const quint32 encoding = b.u16(record + 2);
        const qsizetype table = cmap + b.u32(record + 4);
        const quint32 format = b.u16(table);
        if (format == 12 && (platform == 0 || (platform == 3 && encoding == 10)))
            full = table;
        else if (format == 4 && (platform == 0 || (platform == 3 && encoding == 1)))
            basic = table;
    }
    if (full >= 0) {
        const quint32 groups = b.u32(full + 12);
        for (quint32 g = 0; g < groups; ++g) {
            const qsizetype group = full + 16 + 12 * qsizetype(g);
            const char32_t first = b.u32(group);
            const char32_t last = b.u32(group + 4);
            // A group that starts at glyph 0 maps its first character to "no glyph".
            const char32_t from = b.u32(group + 8) == 0 ? first + 1 : first;
            if (from <= last)
                m_ranges.emplace_back(from, last);
        }
        return;
    }
    if (basic < 0)
        return;
    const quint32 segments = b.u16(basic + 6) / 2;
    const qsizetype ends = basic + 14;
    const qsizetype starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments;
    const qsizetype rangeOffsets = deltas + 2 * segments;
    for (quint32 s = 0; s < segments; ++s) {
        const quint32 start = b.u16(starts + 2 * s);
        const quint32 end = b.u16(ends + 2 * s);
        const quint32 delta = b.u16(deltas + 2 * s);
        const qsizetype rangeOffsetAt = rangeOffsets + 2 * s;
        const quint32 rangeOffset = b.u16(rangeOffsetAt);
        for (quint32 c = start; c <= end && c != 0xFFFF; ++c) {
            quint32 glyph = 0;
            if (rangeOffset == 0) {
                glyph = (c + delta) & 0xFFFF;
            } else {
                glyph = b.u16(rangeOffsetAt + rangeOffset + 2 * (c - start));
                if (glyph != 0)
                    glyph = (glyph + delta) & 0xFFFF;
            }
            if (glyph == 0)
                continue;
            if (!m_ranges.empty() && m_ranges.back().second + 1 == c)
                m_ranges.back().second = c;
            else
                m_ranges.emplace_back(c, c);
        }
    }
}

bool FontCoverage::covers(char32_t c) const
{
    const auto it = std::upper_bound(
        m_ranges.cbegin(), m_ranges.cend(), c, [](char32_t v, const auto& range) { return v < range.first; });
    return it != m_ranges.cbegin() && c <= std::prev(it)->second;
}

QString FontCoverage::missing(const QString& text) const
{
    QString result;
    if (!isKnown())
        return result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = text[i].unicode();
        // Printable ASCII is in every text font; most texts hold nothing else.
        if (c >= 0x20 && c < 0x7F)
            continue;
        qsizetype length = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            length = 2;
        }
        const QString character = text.mid(i, length);
        i += length - 1;
        if (c < 0x20 || (c >= 0x7F && c < 0xA0) || covers(c) || result.contains(character))
            continue;
        result += character;
    }
    return result;
}
