#include "db/LibraryName.h"

bool isPlainLibraryName(const QString& name)
{
    if (name.isEmpty() || name.size() > 128 || name.front().isDigit())
        return false;
    for (const QChar c : name) {
        const bool asciiLetter = (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        const bool digit = c >= u'0' && c <= u'9';
        if (!asciiLetter && !digit && c != u'_' && c != u'$' && c != u'#' && c != u'@')
            return false;
    }
    return true;
}
