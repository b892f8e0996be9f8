#pragma once

#include "app/MainWindowView.h"
#include "app/PerEmployeeControls.h"
#include "platform/RunCancel.h"
#include "report/RunSummary.h"

#include <QString>
#include <QWidget>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class ElidedLabel;
class clsRegistryHandler;

// The main window. Its controls are the run settings the generators read during a run; its
// procedures keep the names users and support staff know from the error boxes ("frmMain.<proc>").
class frmMain : public QWidget, public MainWindowView
{
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // MainWindowView
    int transferButtonCount() const override;
    bool transferButtonChecked(int index) const override;
    QString txtSrcFile() const override;
    QString txtLib() const override;
    QString txtToFile() const override;
    bool optPDF() const override;
    bool opteLohnausweis() const override;
    bool chkOpenPDF() const override;
    bool chkPassword() const override;
    QString txtPDFPassword() const override;
    RunSelection runSelection() const override { return m_selection; }
    bool chkPerEmployee() const override { return m_perEmployee->perEmployee(); }
    EmployeePasswordKind employeePasswordKind() const override { return m_perEmployee->passwordKind(); }
    // Tells fileProgressChanged; the status bar keeps the run's own texts.
    void setFileProgress(qint64 done, qint64 started) override;
    void setStatusText(const QString& text) override;
    void setBusyCursor(bool busy) override;
    RunCancel* runCancel() override { return &m_cancel; }

    // Runs once, before the window is first shown; the headless run calls it on the hidden window.
    void Form_Load();
    void Form_Unload();
    void loadSettings();
    void saveSettings();
    bool chkControl();
    void setControls();
    void chkPassword_Click();
    void optPDF_Click();
    void opteLohnausweis_Click();
    void cmdSave_Click();
    void cmdRun_Click();
    void cmdCheck_Click();
    void cmdClose_Click();

    // The rows the next runs are restricted to (the headless run's --company and --employee, the
    // check dialog's "Auswahl erstellen"); an empty selection runs the whole table.
    void setRunSelection(const RunSelection& selection) { m_selection = selection; }

    bool isLoaded() const { return m_loaded; }
    bool isRunning() const { return m_running; }
    bool isBusyCursor() const { return m_busy; }
    QString statusText() const;
    // What the last run wrote.
    const RunSummary& lastRunSummary() const { return m_lastRun; }

    // Pixels for a length in twips at the window's screen resolution.
    int twips(int value) const;

signals:
    void statusTextChanged(const QString& text);
    // "Datei k von n": k of the n PDF files started in this run are done.
    void fileProgressChanged(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void setTabOrderByIndex();
    void setRunning(bool running);
    void askToCancelRun();

    std::unique_ptr<clsRegistryHandler> m_store;
    RunCancel m_cancel;

    QGroupBox* m_frameTransferType = nullptr;
    QRadioButton* m_optSRCFields[2] = {};
    QGroupBox* m_framSource = nullptr;
    QLabel* m_lblSrcFile = nullptr;
    QLineEdit* m_txtSrcFile = nullptr;
    QLabel* m_lblLIB = nullptr;
    QLineEdit* m_txtLib = nullptr;
    QGroupBox* m_framToFile = nullptr;
    QRadioButton* m_optPDF = nullptr;
    QRadioButton* m_opteLohnausweis = nullptr;
    QLabel* m_lblD4File = nullptr;
    QLineEdit* m_txtToFile = nullptr;
    QPushButton* m_cmdSave = nullptr;
    QGroupBox* m_framPDF = nullptr;
    QCheckBox* m_chkOpenPDF = nullptr;
    QCheckBox* m_chkPassword = nullptr;
    QLineEdit* m_txtPDFPassword = nullptr;
    PerEmployeeControls* m_perEmployee = nullptr;
    QPushButton* m_cmdRun = nullptr;
    QPushButton* m_cmdCheck = nullptr;
    QPushButton* m_cmdClose = nullptr;
    QStatusBar* m_StaBar = nullptr;
    ElidedLabel* m_staBarText = nullptr;

    // What the file-save dialog keeps between two uses: the filter and the file name last shown.
    QString m_dialogFilter;
    QString m_dialogFileName;

    double m_dpi = 96.0;
    bool m_loaded = false;
    bool m_running = false;
    bool m_busy = false;
    RunSummary m_lastRun;
    RunSelection m_selection;
};
