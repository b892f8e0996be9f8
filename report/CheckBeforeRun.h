#pragma once

#include <QString>
#include <memory>

class DbConnection;
class RunSelection;
class RunSummary;

// The plausibility rules applied to exactly the rows a run is about to write, before any output file
// is asked about or touched: a run must not print a certificate the tax office rejects without the
// clerk having decided so. Runs a second query on the run's open connection (no second login).
// Skipped when the setting CheckBeforeRun is 0.
//
// Findings of kind "Fehler" go to the prompt (writeDespiteCheckErrors): the window asks whether to write
// all the same, the headless run answers from --ignore-check-errors. Notices never stop a run. The
// counts go into `summary`. Returns false when the run is to stop: the user chose so, or the rows could
// not be read (the reader has shown its box). Throws LaError for other failures.
bool checkBeforeRun(const std::shared_ptr<DbConnection>& connection,
                    const QString& library,
                    const RunSelection& selection,
                    bool withPersons,
                    RunSummary& summary);
