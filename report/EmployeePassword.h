#pragma once

#include <QString>
#include <optional>

class Variant;

// Where the password of an employee's own PDF comes from (setting value EmployeePassword).
enum class EmployeePasswordKind
{
    None,      // "none": the files are not protected
    Birthdate, // "birthdate": the date of birth EGEBDT as TTMMJJJJ
    Ahv,       // "ahv": the 13 digits of the new AHV number EFLDC2, without dots
    Fixed,     // "fixed": the password typed in the window (or --pdf-password), the same for all
};

// The kind for a setting or option value ("none", "birthdate", "ahv", "fixed", any case); none for
// another text.
std::optional<EmployeePasswordKind> parseEmployeePasswordKind(const QString& text);
// The value that stands for `kind` in the settings file and on the command line.
QString employeePasswordKindName(EmployeePasswordKind kind);
// What protects the files, for the run's summary (never the password itself).
QString employeePasswordDescription(EmployeePasswordKind kind);

// The password of one employee's file, or why the file cannot be written.
struct EmployeePassword
{
    QString password; // empty for EmployeePasswordKind::None
    QString refusal;  // names the employee and the field; empty when the password is good
};

// The password of the file of `employee` (the name the box shows) from the row's date of birth and new
// AHV number, or `fixed`. A field that is Null, not a date, or not 13 digits gives a refusal: the file
// must not go out unprotected or with a password the employee cannot know.
EmployeePassword employeePassword(EmployeePasswordKind kind,
                                  const Variant& birthDate,
                                  const Variant& ahvNumber,
                                  const QString& fixed,
                                  const QString& employee);
