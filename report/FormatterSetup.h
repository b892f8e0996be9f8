#pragma once

#include "report/PdfRun.h"

class MainWindowView;

// The formatter call of a PDF run, set up once before the run asks about or touches any file: the
// launcher (setting FOP) and the style sheet (setting XSL) found where applFilePlaces() looks, and the
// window's password option. Throws LaError 10000 with the source "frmMain" when either file is
// missing: "Pfad für '<setting>' nicht gefunden." for each, then the setting's name with the places
// looked at, and the settings file.
FormatterCall formatterCallFor(const MainWindowView& window);
