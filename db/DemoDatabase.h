#pragma once

#include <QString>

// Writes the sample SQLite database of the demo (tables LGHLAEXP, LGHLAZ, LGHPS) to `path`,
// replacing a file of that name. Throws LaError on failure.
void writeDemoDatabase(const QString& path);
