#pragma once

#include "report/CheckFinding.h"

#include <QDialog>
#include <QList>

class QLabel;
class QPushButton;
class QTableWidget;

// The findings of a plausibility check: a table the clerk can sort by any column (errors first until
// then), the totals, and the findings as a CSV file for a spreadsheet. The dialog keeps its size
// between starts.
class frmCheck : public QDialog
{
    Q_OBJECT

public:
    frmCheck(QList<CheckFinding> findings, const QString& totals, QWidget* parent = nullptr);

    void cmdSaveCsv_Click();

    // The size a first start opens with: wide enough for the columns, narrow enough for a
    // 1024-pixel screen.
    static QSize defaultSize();

protected:
    void done(int result) override;

private:
    void fillTable();
    void restoreSize();

    QList<CheckFinding> m_findings;
    QTableWidget* m_tblFindings = nullptr;
    QLabel* m_lblTotals = nullptr;
    QPushButton* m_cmdSaveCsv = nullptr;
    QPushButton* m_cmdClose = nullptr;
};
