#pragma once

// Keeps the passwords given to the program from other processes once the command line has been read:
// the values of --pdf-password and --password are overwritten in the program's own argument area (which
// every user of the machine can read through ps and /proc), and LOHNAUSWEIS_PDF_PASSWORD and
// LOHNAUSWEIS_PASSWORD are taken out of the environment that the formatter and the viewer inherit.
void hideSecretArguments(int argc, char** argv);
