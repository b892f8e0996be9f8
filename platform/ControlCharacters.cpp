#include "platform/ControlCharacters.h"

#include <algorithm>

namespace {

bool isControl(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

} // namespace

QString blankControlCharacters(const QString& text)
{
    // Most texts hold none: no copy then.
    if (std::none_of(text.cbegin(), text.cend(), isControl))
        return text;
    QString result = text;
    std::replace_if(result.begin(), result.end(), isControl, QChar(u' '));
    return result;
}
