#pragma once

#include <QString>

// A text far longer than any box of the form (a name of megabytes, after a fault in the host's data)
// keeps the style sheet busy for hours before the formatter dies. Such a document is not handed to the
// formatter: it fails alone, at once, and the run goes on with the next.

// The longest element text a document may hold; the form's largest boxes take a few hundred.
inline constexpr qsizetype kLongestDocumentText = 10000;

// Why the salary declaration document cannot be rendered (in German, naming the text's length and
// its start), or the empty text when every element text is within the limit.
QString oversizedTextReason(const QString& document);
