#pragma once

#include "report/EmployeePassword.h"
#include "report/RunSelection.h"

#include <QString>

class RunCancel;

// What the run dispatch and the generators read from and write to the main window during a run.
// frmMain implements it over its real controls; tests implement it with plain members.
class MainWindowView
{
public:
    virtual ~MainWindowView() = default;

    // The transfer-type option group (optSRCFields) in its own order: Index 0 "ODBC", 1 "OLE".
    virtual int transferButtonCount() const = 0;
    virtual bool transferButtonChecked(int index) const = 0;

    virtual QString txtSrcFile() const = 0;
    virtual QString txtLib() const = 0;
    virtual QString txtToFile() const = 0;
    virtual bool optPDF() const = 0;
    virtual bool opteLohnausweis() const = 0;
    virtual bool chkOpenPDF() const = 0;
    virtual bool chkPassword() const = 0;
    virtual QString txtPDFPassword() const = 0;
    // "Eine Datei pro Mitarbeiter": a PDF run writes one file per certificate.
    virtual bool chkPerEmployee() const { return false; }
    // Where the password of each employee's file comes from while "Datei schützen" is checked.
    virtual EmployeePasswordKind employeePasswordKind() const { return EmployeePasswordKind::Fixed; }
    // The rows the run is restricted to; none: the whole table.
    virtual RunSelection runSelection() const { return {}; }

    // The status bar's one text.
    virtual void setStatusText(const QString& text) = 0;
    // How many of the PDF files started in this run are done; the window shows only the status text.
    virtual void setFileProgress(qint64 /*done*/, qint64 /*started*/) {}
    // The window's mouse pointer: hourglass while busy.
    virtual void setBusyCursor(bool busy) = 0;

    // The cancel request of the run under way; none where nobody can cancel.
    virtual RunCancel* runCancel() { return nullptr; }

    // Whether this start has already told the user that the settings cannot be stored; the window
    // lives as long as the start, so later runs keep quiet about it.
    bool storeWarningShown() const { return m_storeWarningShown; }
    void setStoreWarningShown() { m_storeWarningShown = true; }

private:
    bool m_storeWarningShown = false;
};
