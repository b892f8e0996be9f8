#pragma once

#include <QString>
#include <memory>

class MainWindowView;
class clsFSConnect;

// The program's global state. The generators read the user's choices from the main window
// through gFrmMain and the run settings from the other globals.
extern MainWindowView* gFrmMain;
extern QString gVersion;
extern QString gAppPath;
extern QString gFopPath;
extern QString gXslPath;
extern QString gExportTable;
extern bool gOverwriteAsked;
extern std::unique_ptr<clsFSConnect> gLog;
extern QString gTempXmlFile;

// Names of the values under the settings key.
namespace SettingName {
// How many formatter calls a PDF run makes at once (0 or missing: one per core).
inline constexpr const char* FopJobs = "FopJobs";
inline constexpr const char* Medium = "Medium";
inline constexpr const char* Source = "Source";
inline constexpr const char* Lib = "Lib";
inline constexpr const char* ToFile = "ToFile";
inline constexpr const char* PDFOpen = "PDFOpen";
inline constexpr const char* FOP = "FOP";
inline constexpr const char* XSL = "XSL";
inline constexpr const char* LOVARSFile = "LOVARSFile";
inline constexpr const char* OutputELohnausweis = "Output eLohnausweis";
inline constexpr const char* OutputPDF = "Output PDF";
inline constexpr const char* DbTimeout = "DbTimeout";
// The language of the printed certificates: "de", "fr", "it" or "auto" (missing: by the postal code).
inline constexpr const char* FormLanguage = "FormLanguage";
// Octal permissions of the files written for the user (missing: 0600).
inline constexpr const char* OutputFileMode = "OutputFileMode";
// The size of the dialog "Plausibilitätsprüfung" when it was last closed, in pixels.
inline constexpr const char* CheckWidth = "CheckWidth";
inline constexpr const char* CheckHeight = "CheckHeight";
// 0: a run does not apply the plausibility rules to its rows first (for offices that check elsewhere).
inline constexpr const char* CheckBeforeRun = "CheckBeforeRun";
// 1: a PDF run writes one file per certificate ("Eine Datei pro Mitarbeiter").
inline constexpr const char* PerEmployee = "PerEmployee";
// Where the password of each employee's file comes from: "none", "birthdate", "ahv" or "fixed".
inline constexpr const char* EmployeePassword = "EmployeePassword";
// The pattern of the names of the files per employee, below the folder of the output name.
inline constexpr const char* EmployeeFileName = "EmployeeFileName";
// Seconds one formatter call may take before it is ended (missing: 900).
inline constexpr const char* FopTimeout = "FopTimeout";
} // namespace SettingName
