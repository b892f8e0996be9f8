#pragma once

#include "report/FormLanguage.h"

#include <QString>

class TextStream;
class clsADOConnect;

// Scheme and host in front of the three namespace paths of the salary declaration document: a base of
// our own, since the document is read only by our style sheet (which matches elements by local name).
inline constexpr const char* kDeclarationNamespaceBase = "http://www.lohnausweis.example";

// The namespace names of the document.
QString declarationNamespace();
QString containerNamespace();
QString serviceTypesNamespace();

// The writers of the salary declaration document. Each appends its lines to `stream`, reads every value
// afresh from the reader's current row, and throws LaError with "frmMain.<name>" in front of the source
// chain (a Null in a text field, a missing field, ...); what was written before the error stays.

// Writes the head line and the company part of the current row, and returns the general description
// text for crtXMLEnd.
QString crtXMLHeader(TextStream& stream, clsADOConnect& reader);
// Writes the staff block of the current row. A certificate that is not to be printed in German
// carries its language as xml:lang on "ns2:Staff" (see certificateLanguage); the lines before and
// after the street (EFLDH2, EFLDH4) are written only when they hold more than blanks. A document
// without either is the same as before they existed.
void crtXMLBody(TextStream& stream, clsADOConnect& reader, FormLanguageChoice language = FormLanguageChoice::Auto);
// Closes the company part when it is open, writes the general description (a single blank when it is
// empty) and closes the envelope.
void crtXMLEnd(TextStream& stream, const QString& generalDescription, bool companyOpen);
