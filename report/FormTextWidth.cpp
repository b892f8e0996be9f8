#include "report/FormTextWidth.h"

#include <QHash>
#include <cmath>

namespace {

// The character classes of the style sheet, in thousandths of an em; any other character counts 1020.
const QHash<char32_t, int>& classWidths()
{
    static const QHash<char32_t, int> widths = [] {
        const std::pair<const char*, int> classes[] = {
            {" .,:;!|'ijlI", 280},
            {"ftr-()[]/\\*`{}ìíîïı", 389},
            {"abcdeghknopqsuvxyz0123456789$#_?+=<>~^\"äöüàáâãåçèéêëñòóôõøùúûýÿčćďěňřšťžźżłőűąęńśů", 611},
            {"ABCDEFHJKLNPRSTUVXYZ&ÄÀÁÂÃÅÇÈÉÊËÑÙÚÛÜÝČĆĎĚŇŘŠŤŽŹŻŁŰĄĘŃŚŮ", 722},
            {"GOQwÖÓÒÔÕØŐ", 778},
            {"mM%", 889},
        };
        QHash<char32_t, int> result;
        for (const auto& [characters, width] : classes) {
            for (const char32_t c : QString::fromUtf8(characters).toUcs4())
                result.insert(c, width);
        }
        return result;
    }();
    return widths;
}

constexpr double kPtPerMm = 72.0 / 25.4;
// The reserve per wrapped line for the word that did not fit any more, in em.
constexpr double kWrapReserve = 5.0;

} // namespace

double FormTextWidth::emWidth(const QString& text)
{
    const QHash<char32_t, int>& widths = classWidths();
    qint64 thousandths = 0;
    for (const char32_t c : text.toUcs4())
        thousandths += widths.value(c, 1020);
    return double(thousandths) / 1000.0;
}

double FormTextWidth::labelLead(const QString& label)
{
    return emWidth(label) * 8.5 + emWidth(QStringLiteral(" – Art: ")) * 7.5;
}

bool FormTextWidth::fits(const QString& text, double widthMm, int lines, double minPt, double leadPt)
{
    const double room = lines * widthMm * kPtPerMm - leadPt;
    const double em = emWidth(text) + (lines - 1) * kWrapReserve;
    if (em <= 0)
        return true;
    // The largest size in quarter points at which the text fits, as the style sheet rounds it.
    return std::floor(4 * room / em) / 4 >= minPt;
}
