#pragma once

struct CommandLine;

// One run on a hidden main window, as "Ausführen" would do it, with the settings from the store
// changed by the options. Needs a QApplication. Returns the exit status: 0 when no error or warning
// box was shown, 1 otherwise or when a question was answered with Cancel; 128 and the signal's
// number when SIGINT, SIGTERM or SIGHUP cancelled the run (130, 143, 129). A second signal, or a
// cancel the run cannot take up, ends the program from RunSignals without returning here.
int runHeadless(const CommandLine& commandLine);

// Writes the demo database; returns 0, or 1 after a message on standard error.
int runWriteDemoDatabase(const CommandLine& commandLine);
