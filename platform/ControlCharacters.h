#pragma once

#include <QString>

// Host data is printed to terminals and written into text files that other programs read line by
// line. A control character in a name (an escape sequence, a carriage return, a line feed) could
// hide, forge or split lines there, so each one becomes a blank: the C0 characters U+0000 to U+001F,
// DEL and the C1 characters U+0080 to U+009F.
QString blankControlCharacters(const QString& text);
