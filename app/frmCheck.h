#pragma once

#include "report/CheckFinding.h"
#include "report/RunSelection.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTableWidget;

// The findings of a plausibility check: a table the clerk can sort by any column (errors first until
// then), the totals, the findings as a CSV file for a spreadsheet, and a run of the certificates of
// the rows selected ("Auswahl erstellen"). The dialog keeps its size between starts.
class frmCheck : public QDialog
{
    Q_OBJECT

public:
    frmCheck(QList<CheckFinding> findings, const QString& totals, QWidget* parent = nullptr);

    void cmdSaveCsv_Click();
    // Closes the dialog and asks for a run of the selected rows' certificates.
    void cmdRunSelection_Click();

    // The certificates of the selected rows: an employee's within the company of the finding, a whole
    // company for a finding about the company.
    RunSelection selectedCertificates() const;

    // The size a first start opens with: wide enough for the columns, narrow enough for a
    // 1024-pixel screen.
    static QSize defaultSize();

signals:
    void runSelectionRequested(const RunSelection& selection);

protected:
    void done(int result) override;

private:
    void fillTable();
    void restoreSize();

    QList<CheckFinding> m_findings;
    QTableWidget* m_tblFindings = nullptr;
    QLabel* m_lblTotals = nullptr;
    QPushButton* m_cmdSaveCsv = nullptr;
    QPushButton* m_cmdRunSelection = nullptr;
    QPushButton* m_cmdClose = nullptr;
};
