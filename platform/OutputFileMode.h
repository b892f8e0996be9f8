#pragma once

#include <QString>
#include <sys/types.h>

// The permissions of every file the program writes for the user (PDF, import file, check report):
// 0600 unless the setting value OutputFileMode holds an octal text such as "0640" (an office that
// shares an output folder with a group). Throws LaError 5 naming the setting when the value is no
// octal mode between 0600 and 0777 that lets the owner read and write; a run then writes nothing
// rather than files with permissions nobody asked for.
mode_t outputFileMode();

// The same for a value as the store holds it (empty: the default).
mode_t outputFileModeFrom(const QString& value);
