#pragma once

class RunSummary;

// One run: reloads the run settings, opens a fresh run log and calls the generator of each selected
// output kind. Failures show one box "frmMain.runSalaryReport"; afterwards the temporary XML file
// is deleted. The log is closed and the busy cursor reset in every case.
// Another run writing the same output file refuses this one at its start. The files written go into
// `summary`, and the log ends with them.
void runSalaryReport(RunSummary& summary);
void runSalaryReport();
