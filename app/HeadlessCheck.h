#pragma once

struct CommandLine;

// Exit statuses of the check without a window. A script must tell "the data has errors" from "the
// data was not (fully) checked", which needs a person, not a correction in the payroll system.
namespace CheckExit {
inline constexpr int Clean = 0;       // checked, no finding of severity "Fehler"
inline constexpr int ErrorsFound = 1; // checked, findings of severity "Fehler"
inline constexpr int Usage = 2;       // no source known
inline constexpr int NotChecked = 3;  // the check could not run or not to its end, or no report written
} // namespace CheckExit

// The plausibility check without a window: the settings from the store changed by the options, the
// findings as a table on standard output or in the report file (--to), then the totals line on
// standard output. Needs a QApplication. Returns one of CheckExit.
int runHeadlessCheck(const CommandLine& commandLine);
