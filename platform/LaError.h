#pragma once

#include <QString>
#include <exception>
#include <stdexcept>

// Error numbers the program raises or translates foreign errors into. They follow the numbering
// that payroll offices know from the program's error boxes.
namespace ErrNo {
inline constexpr int NoCertificateData = 1;
inline constexpr int InvalidCall = 5;
inline constexpr int Overflow = 6;
inline constexpr int OutOfMemory = 7;
inline constexpr int Subscript = 9;
inline constexpr int UserInterrupt = 18;
inline constexpr int TypeMismatch = 13;
inline constexpr int BadFileNumber = 52;
inline constexpr int FileNotFound = 53;
inline constexpr int DeviceIo = 57;
inline constexpr int DiskFull = 61;
inline constexpr int InputPastEnd = 62;
inline constexpr int PermissionDenied = 70;
inline constexpr int PathFileAccess = 75;
inline constexpr int PathNotFound = 76;
inline constexpr int ObjectNotSet = 91;
inline constexpr int InvalidUseOfNull = 94;
inline constexpr int ItemNotFound = 3265;
inline constexpr int NoCurrentRecord = 3021;
inline constexpr int PathNotFoundOwn = 10000;
} // namespace ErrNo

// The German runtime description for one of the numbers above ("Überlauf" for 6, ...);
// an empty text for numbers that have none.
QString errorDescription(int number);

// The one exception type of the program. `source` is the chain of locations the error passed
// through, the outermost first, separated by CR LF.
class LaError : public std::runtime_error
{
public:
    LaError(int number, QString source, QString description, QString helpFile = {}, int helpContext = 0);

    // An error with the program's German description for the number and an empty source.
    static LaError runtime(int number);
    // The same with a more precise description (for example naming a field or a file).
    static LaError runtime(int number, const QString& description);

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }
    const QString& helpFile() const { return m_helpFile; }
    int helpContext() const { return m_helpContext; }

    // A copy with `location` put in front of the source chain.
    LaError withLocation(const QString& location) const;

private:
    int m_number;
    QString m_source;
    QString m_description;
    QString m_helpFile;
    int m_helpContext;
};

// The error number for an operating-system error code (errno): 53, 70, 75, 76, 61, 57.
int errorNumberForErrno(int code);
// An error for a failed operation on `file`, numbered by errno, naming the file in its description.
LaError fileError(int errnoCode, const QString& file);

// Turns any exception into an LaError: LaError as it is; std::overflow_error 6, std::out_of_range 9,
// std::bad_alloc 7, std::invalid_argument 13, std::filesystem::filesystem_error by its errno
// (53, 70, 75, 76, 61), any other std::exception 5 with its what(). Null gives error 5.
LaError toLaError(std::exception_ptr error);

// Must be called inside a catch block: rethrows the error being handled as an LaError with
// `location` in front of its source chain.
[[noreturn]] void raiseError(const QString& location);

// The title and text of the error box, as showError composes them.
QString errorBoxTitle(const QString& location);
QString errorBoxText(const LaError& error, const QString& extraText);

// Must be called inside a catch block: shows the error box for the error being handled through the
// installed Prompt (style 16 in every call of the program). The error counts as handled afterwards.
void showError(int style, const QString& location, const QString& extraText = {});
// The same for an error already at hand.
void showError(const LaError& error, int style, const QString& location, const QString& extraText = {});
