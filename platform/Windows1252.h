#pragma once

#include <QByteArray>
#include <QString>

// The files the program hands to Windows programs (the run log, the eLohnausweis import file) are
// in Windows-1252 on every platform.

// Characters that Windows-1252 lacks become their nearest form ("č" gives "c", "Ł" gives "L",
// "ﬁ" gives "fi"); only what has no sensible form becomes "?". Combining marks that could not be
// joined to their letter are dropped, the letter stays.
QByteArray toWindows1252(const QString& text);

// The five bytes that Windows-1252 leaves undefined come back as the control characters of the
// same number, as Windows decodes them.
QString fromWindows1252(const QByteArray& bytes);

// The characters of `text` that Windows-1252 has no byte for, each once, in the order of the text:
// the ones toWindows1252 would have to replace.
QString charactersOutsideWindows1252(const QString& text);
