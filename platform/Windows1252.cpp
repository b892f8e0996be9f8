#include "platform/Windows1252.h"

#include <QList>
#include <algorithm>
#include <array>

namespace {

// Unicode of the bytes 0x80..0x9F; the undefined ones map to the C1 control of the same number.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Letters and signs without a canonical or compatibility decomposition into Latin letters.
struct Fallback
{
    char32_t codePoint;
    const char* text;
};
constexpr Fallback kFallbacks[] = {
    {0x0110, "D"}, {0x0111, "d"},  {0x0126, "H"},  {0x0127, "h"},  {0x0131, "i"}, {0x0138, "k"}, {0x0141, "L"},
    {0x0142, "l"}, {0x014A, "N"},  {0x014B, "n"},  {0x0166, "T"},  {0x0167, "t"}, {0x0180, "b"}, {0x0181, "B"},
    {0x0189, "D"}, {0x018F, "E"},  {0x0197, "I"},  {0x01B5, "Z"},  {0x01B6, "z"}, {0x01E4, "G"}, {0x01E5, "g"},
    {0x0259, "e"}, {0x0268, "i"},  {0x1E9E, "SS"}, {0x2010, "-"},  {0x2011, "-"}, {0x2012, "-"}, {0x2015, "-"},
    {0x2212, "-"}, {0x2032, "'"},  {0x2033, "\""}, {0x2044, "/"},  {0x2215, "/"}, {0x2027, "."}, {0x2043, "-"},
    {0x201B, "'"}, {0x201F, "\""}, {0x2035, "'"},  {0x2036, "\""},
};

int encodeDirect(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return int(c);
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        if (kHighTable[i] == c)
            return 0x80 + i;
    }
    return -1;
}

bool isMark(char32_t c)
{
    const QChar::Category cat = QChar::category(c);
    return cat == QChar::Mark_NonSpacing || cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing;
}

const char* fallbackFor(char32_t c)
{
    for (const Fallback& f : kFallbacks) {
        if (f.codePoint == c)
            return f.text;
    }
    return nullptr;
}

void appendTransliterated(QByteArray& out, char32_t c, int depth)
{
    if (const int b = encodeDirect(c); b >= 0) {
        out.append(char(b));
        return;
    }
    if (const char* text = fallbackFor(c)) {
        out.append(text);
        return;
    }
    if (depth == 0) {
        const QString decomposed = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KD);
        const QList<uint> parts = decomposed.toUcs4();
        QByteArray piece;
        for (uint part : parts) {
            if (!isMark(part))
                appendTransliterated(piece, part, depth + 1);
        }
        if (!piece.isEmpty() && !(parts.size() == 1 && parts.front() == c)) {
            out.append(piece);
            return;
        }
    }
    out.append('?');
}

} // namespace

QByteArray toWindows1252(const QString& text)
{
    // Composed first, so that "a" followed by a combining diaeresis becomes the one byte of "ä".
    const QString composed = text.normalized(QString::NormalizationForm_C);
    QByteArray out;
    out.reserve(composed.size());
    for (char32_t c : composed.toUcs4()) {
        if (const int b = encodeDirect(c); b >= 0)
            out.append(char(b));
        else if (isMark(c))
            continue;
        else
            appendTransliterated(out, c, 0);
    }
    return out;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out.append(b >= 0x80 && b < 0xA0 ? QChar(kHighTable[b - 0x80]) : QChar(b));
    }
    return out;
}

QString charactersOutsideWindows1252(const QString& text)
{
    const auto direct = [](QChar c) { return c.unicode() < 0x80 || (c.unicode() >= 0xA0 && c.unicode() <= 0xFF); };
    if (std::all_of(text.cbegin(), text.cend(), direct))
        return {};
    QString result;
    for (const char32_t c : text.toUcs4()) {
        if (encodeDirect(c) >= 0)
            continue;
        const QString character = QString::fromUcs4(&c, 1);
        if (!result.contains(character))
            result += character;
    }
    return result;
}
