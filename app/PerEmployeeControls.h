#pragma once

#include "report/EmployeePassword.h"

#include <QObject>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class clsRegistryHandler;
class frmMain;

// The main window's choice of one PDF per employee, in the free space of its frame "PDF Optionen" so
// that no control the clerks know moves: the check box "Eine Datei pro Mitarbeiter" right of "Nach
// Erstellung anzeigen", and right of "Datei schützen" where the password of each file comes from (the
// typed password, the date of birth, the AHV number). The check box is for PDF runs; the choice counts
// while both it and "Datei schützen" are checked, and only the typed password uses the password field.
class PerEmployeeControls : public QObject
{
    Q_OBJECT

public:
    // Builds the controls into `window`'s frame "PDF Optionen" and follows its output kind and
    // "Datei schützen".
    explicit PerEmployeeControls(frmMain& window);

    bool perEmployee() const;
    EmployeePasswordKind passwordKind() const;
    // The password field is read by the run: "Datei schützen" with one password for the PDF, or per
    // employee with the typed password.
    bool passwordFieldUsed() const;

    // The settings PerEmployee and EmployeePassword. A stored password kind other than "none" checks
    // "Datei schützen" for a run per employee: files an office protects by the date of birth must not
    // go out unprotected because the window was opened anew.
    void load(clsRegistryHandler& store);
    // EmployeePassword only while the run is per employee, as "none" when "Datei schützen" is clear.
    void save(clsRegistryHandler& store) const;

private:
    void enableControls();
    void update();

    frmMain& m_window;
    QRadioButton* m_optPDF = nullptr;
    QCheckBox* m_chkPassword = nullptr;
    QLineEdit* m_txtPDFPassword = nullptr;
    QCheckBox* m_chkPerEmployee = nullptr;
    QComboBox* m_cboEmployeePassword = nullptr;
};
