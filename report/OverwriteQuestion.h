#pragma once

#include <QString>

// Whether a run may write `file`: the first file of a run that exists already is asked about ("Datei
// überschreiben", OK/Cancel); after OK the rest of the run replaces files without asking (gOverwriteAsked).
// Returns false when the user answered Cancel. Throws LaError 75 naming the file when a folder stands at
// that name: it is never replaced.
bool mayWriteOutputFile(const QString& file);

// mayWriteOutputFile() would ask about `file`: it is the run's first existing output file.
bool overwriteQuestionDue(const QString& file);
