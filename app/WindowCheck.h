#pragma once

class frmCheck;
class frmMain;

// The check started from the main window: the rows read with the window's transfer type, source and
// library, the progress in its status bar. Returns the dialog with the findings, not yet shown, or
// none when the source is missing (after the parameter box), the login was closed without OK or a
// reader has shown its own box. The dialog's "Auswahl erstellen" starts a run of the marked rows on the
// window, with its settings, once the dialog has closed. Throws LaError; the caller shows the box.
frmCheck* checkFromWindow(frmMain& window);
