#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class clsFSConnect;

// Where the run log "LOVARSLog.txt" goes: the temporary directory, unless something at that name is
// not a plain file of our own (a link, a FIFO, another user's file), which is then left alone and
// the log goes into our private folder under that directory instead. Open the path with
// clsFSConnect in mode 0, owner-only. `notes` receives a German sentence for every such detour, to
// be written into the log. Throws LaError when no place is left.
QString runLogPath(QStringList& notes);

// The run log of this run, open for writing (mode 0, owner-only): runLogPath() when no other running run
// writes that file, otherwise the first of "LOVARSLog-2.txt", "LOVARSLog-3.txt", ... beside it that none
// does. The file stays locked while the object lives, so that a run started meanwhile never deletes it.
// Throws LaError when no place is left.
std::unique_ptr<clsFSConnect> openRunLog(QStringList& notes);
