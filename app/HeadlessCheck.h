#pragma once

struct CommandLine;

// The plausibility check without a window: the settings from the store changed by the options, the
// findings as a table on standard output or in the report file (--to), then the totals line on
// standard output. Needs a QApplication. Returns 0 without findings of severity "Fehler", 1 with
// such findings or after an error box, 2 when no source is known.
int runHeadlessCheck(const CommandLine& commandLine);
