#pragma once

#include <QStringList>

// The settings of the formatter side of a PDF run, read once per run.

// How many formatter jobs the run starts at once: FopJobs (a number, or a text holding one; missing or
// 0: one per core), never more than twice the cores and never more than the free memory holds. A value
// that cannot be used as given adds a German sentence to `notes`, for the run log.
int formatterJobCount(QStringList& notes);

// The seconds one formatter call may take: FopTimeout, 900 when it is missing, 0 or unreadable.
int formatterTimeLimitSeconds();
