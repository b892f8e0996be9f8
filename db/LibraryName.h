#pragma once

#include <QString>

// The library goes into statements unquoted, so only plain names are accepted: letters, digits,
// "_", "$", "#", "@", not starting with a digit, 1 to 128 characters.
bool isPlainLibraryName(const QString& name);
