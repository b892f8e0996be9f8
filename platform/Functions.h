#pragma once

#include <QString>
#include <QStringList>

// The utility routines. Each shows its own error box ("Functions.<name>") and returns what it holds.

// The places where a configured file (FOP, XSL) is looked for, in this order: an absolute path is
// itself; a relative one ("./fop/fop", "xsl/a.xsl") is joined with gAppPath, then with the installed
// data directory. Never the current directory.
QStringList applFilePlaces(const QString& path);
// Why none of applFilePlaces(path) could be used: "Pfad für '…' nicht gefunden.", or "… nicht lesbar: …"
// naming the place when a folder on the way may not be searched by us.
QString applFileMiss(const QString& path);

// The first of applFilePlaces(path) that is an existing ordinary file. When none is: error box 10000
// and the first place.
QString getApplFilePath(const QString& path);

// The data directory of an installed program (gAppPath + "/../share/lohnausweis"), where the
// launcher fop/ and the style sheet xsl/ are installed.
QString installedDataDirectory();

// $TMPDIR when set and a directory, otherwise a directory of the user's own under the system temporary
// directory (owner-only); with a trailing "/" when withSeparator is true. Empty text on failure.
QString GetTempDir(bool withSeparator);

// When GetTempDir had to use a fresh folder because the name of the private one was taken, a
// German sentence saying so (for the run log); otherwise the empty text.
QString tempDirectoryNote();

// A new, empty, uniquely named file (owner-only permissions) whose name starts with the first three
// characters of `prefix`, in `directory` or, when that is empty, in GetTempDir. Empty text on failure.
QString CreateTempFile(const QString& prefix, const QString& directory);

// The directory `base`/lohnausweis-<uid>, created owner-only when missing. When that name is taken
// by a link, a file or a directory of another user (`nameTaken` says so), a fresh owner-only
// directory `base`/lohnausweis-<uid>-XXXXXX instead, the same one on later calls. The empty text
// only when no directory can be made at all. GetTempDir uses it under /tmp.
QString userTempDirectory(const QString& base, bool* nameTaken = nullptr);

// The program's private temporary folder, into which only we can put files (the formatter's output
// goes there): GetTempDir when that is a folder of ours that nobody else may write to, otherwise
// userTempDirectory() under it. The empty text when there is none.
QString privateTempDirectory();

// Opens the file with the desktop's associated program; the result is ignored.
void OpenFile(const QString& file);
