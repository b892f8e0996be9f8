#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// What the placeholders of the pattern EmployeeFileName stand for in one certificate's file name.
struct EmployeeFileFields
{
    QString company; // {Firma}
    QString name;    // {Name}
    QString number;  // {Nummer}: the AHV/SV number as the certificate prints it
    QString year;    // {Jahr}: the year of the period
    qint64 run = 0;  // {Lauf}: the certificate's running number in the run, from 1
};

// The pattern when the setting EmployeeFileName is missing or empty.
inline constexpr const char* kDefaultEmployeeFileName = "{Firma}/{Name}_{Nummer}.pdf";

// The names of the files of a run that writes one PDF per certificate, below the folder of the output
// name. A "/" in the pattern separates folders; what the placeholders give never does. Every name
// that comes out is one a file system and a Windows share take: the characters / \ : * ? " < > |,
// control and format characters become "_", as do a leading dot (no hidden files, no "..") and a
// trailing dot or blank; a name that would be empty is "_". Names are cut to whole characters so
// that they fit the 255 bytes a name may have in UTF-8, the file name with room for the hidden name
// its file has beside it while it is written ("." + name + ".XXXXXX"); the file name always ends in
// ".pdf". A path that the run has given before (in any case of letters, as a Windows share compares)
// gets "_2", "_3", ... before ".pdf".
class EmployeeFileNames
{
public:
    // Throws LaError 5 naming the setting when the pattern holds a placeholder other than the five.
    explicit EmployeeFileNames(const QString& pattern);

    // The next certificate's path below the output folder: folder names and the file name joined by "/".
    QString next(const EmployeeFileFields& fields);

private:
    QStringList m_segments;
    QSet<QString> m_used; // case-folded
};

// `text` cut to whole characters so that its UTF-8 form has at most `maxBytes` bytes.
QString cutToUtf8Bytes(const QString& text, qsizetype maxBytes);
