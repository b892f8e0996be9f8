#pragma once

// One run: reloads the run settings, opens a fresh run log and calls the generator of each selected
// output kind. Failures show one box "frmMain.runSalaryReport"; afterwards the temporary XML file
// is deleted. The log is closed and the busy cursor reset in every case.
void runSalaryReport();
