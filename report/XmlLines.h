#pragma once

#include <QString>

// Line builders of the salary declaration document: each returns one line ended by CR LF. They escape
// nothing; field text goes through val2unicode first. On an error they show the error box
// ("frmMain.<name>") and return the part of the line built so far followed by CR LF.

// "<name attributes>" (no blank when the attributes are empty). A name ending in "/" gives an empty
// element; a name may carry a namespace declaration behind a blank.
QString GetXMLStartelement(const QString& name, const QString& attributes = {});
// "<name attributes>content</name>".
QString GetXMLElementValue(const QString& name, const QString& attributes, const QString& content);
// "</name>".
QString GetXMLEndelement(const QString& name);

// Field text made safe for element content: the five markup characters become entity references,
// Ä Ö Ü ä ü ß numeric references (ö and every other character stay as they are), and characters that
// XML 1.0 does not allow at all (control characters other than tab, CR and LF, lone surrogates,
// U+FFFE and U+FFFF) are dropped. On an error: the box "Functions.val2unicode" and an empty text.
QString val2unicode(const QString& text);
