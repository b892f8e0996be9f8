#pragma once

#include "report/FormLanguage.h"

#include <QString>
#include <QtGlobal>

// Defaults stored under FOP, XSL and LOVARSFile the first time a run finds them missing.
inline constexpr const char* kDefaultFopPath = "./fop/fop";
inline constexpr const char* kDefaultXslPath = "./xsl/TaxAccountingForm.xsl";
inline constexpr const char* kDefaultExportTable = "LGHLAEXP";

// Fills gVersion and gAppPath. No error box of its own: errors go to the caller.
void initGlobals();

// Loads gFopPath, gXslPath and gExportTable from the settings store; a value that reads as the
// text "NULL" (the marker for "missing") is replaced by its default, which is then stored. A default
// that cannot be stored is used all the same, with one box per start (through gFrmMain).
// Errors show the box "frmMain.getINITValues"; the globals keep what they hold by then.
void getINITValues();

// Seconds a statement or its fetch may wait for a host that stops answering: the value DbTimeout,
// 300 when it is missing or negative, 0 for no limit. The value is not written back.
int dbTimeoutSeconds();

// The transfer type: the index of the first checked transfer-type button of gFrmMain
// (0 ODBC, 1 OLE), -1 when none is checked. Errors show the box "frmMain.getMediumIndex".
qint16 getMediumIndex();

// The value CheckBeforeRun: whether a run checks its rows first; on when it is missing or unreadable,
// off only for 0. The value is not written back.
bool checkBeforeRunSetting();

// The value FormLanguage: the language of the printed certificates; Auto when it is missing, not one
// of "de", "fr", "it", or unreadable. The value is not written back.
FormLanguageChoice formLanguageSetting();

// The value EmployeeFileName: the pattern of the file names of a run with a file per employee; empty
// when it is missing or unreadable (the default pattern then applies). The value is not written back.
QString employeeFileNamePattern();
