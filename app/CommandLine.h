#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <optional>

// What the program was asked to do on its command line.
struct CommandLine
{
    enum class Mode
    {
        Window,     // no options: the main window
        Run,        // --run: one run without a window
        Check,      // --check: the plausibility check without a window
        DemoDb,     // --demo-db FILE
        Help,       // --help
        UsageError, // `error` says what is wrong
    };
    enum class Output
    {
        Pdf,
        Csv,
    };

    Mode mode = Mode::Window;
    QString error;

    // Settings of a run; unset ones keep what the store holds.
    std::optional<int> transfer; // 0 ODBC, 1 OLE
    std::optional<QString> source;
    std::optional<QString> lib;
    std::optional<QString> toFile;
    std::optional<Output> output;
    bool openPdf = false;
    std::optional<QString> pdfPassword;
    QString user;
    QString password;
    bool yes = false;
    // The rows a run or check is restricted to: employer names (EFLDI2), employees (AHV number or name).
    QStringList companies;
    QStringList employees;
    bool ignoreCheckErrors = false;          // write although the check before the run found errors
    bool perEmployee = false;                // one PDF per certificate
    std::optional<QString> employeePassword; // "none", "birthdate", "ahv" or "fixed"; implies perEmployee
    bool verbose = false;                    // standard output lists every file, also thousands per employee

    QString demoDbFile;
};

// `arguments` includes the program name first. The environment supplies LOHNAUSWEIS_PDF_PASSWORD,
// LOHNAUSWEIS_USER and LOHNAUSWEIS_PASSWORD where the options are not given.
CommandLine parseCommandLine(const QStringList& arguments, const QProcessEnvironment& environment);

// The German usage text, ending with a line break.
QString usageText();
