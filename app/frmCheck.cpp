#include "app/frmCheck.h"

#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "report/CheckReport.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

frmCheck::frmCheck(QList<CheckFinding> findings, const QString& totals, QWidget* parent)
    : QDialog(parent)
    , m_findings(std::move(findings))
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Plausibilitätsprüfung"));

    m_tblFindings = new QTableWidget(int(m_findings.size()), 5, this);
    m_tblFindings->setObjectName(QStringLiteral("tblFindings"));
    m_tblFindings->setHorizontalHeaderLabels({QStringLiteral("Schweregrad"),
                                              QStringLiteral("Firma"),
                                              QStringLiteral("Mitarbeiter"),
                                              QStringLiteral("Neue AHV-Nr."),
                                              QStringLiteral("Text")});
    m_tblFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tblFindings->verticalHeader()->hide();
    m_tblFindings->setWordWrap(false);
    for (int row = 0; row < m_findings.size(); ++row) {
        const CheckFinding& f = m_findings[row];
        const QString values[] = {severityText(f.severity()), f.company, f.employee, f.ahvNumber, f.text};
        for (int column = 0; column < 5; ++column) {
            auto* item = new QTableWidgetItem(values[column]);
            // The rule's name beside the full text, which a narrow column cuts off.
            item->setToolTip(column == 4 ? f.ruleName() + QStringLiteral(": ") + f.text : values[column]);
            m_tblFindings->setItem(row, column, item);
        }
    }
    // The text takes the width left; what it cannot show is in its tool tip.
    m_tblFindings->resizeColumnsToContents();
    m_tblFindings->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    m_tblFindings->verticalHeader()->setDefaultSectionSize(m_tblFindings->fontMetrics().height() + 6);
    // In the order of the rows (company, employee) until the clerk clicks a caption; "Fehler" sorts
    // before "Hinweis". Without a column chosen first, switching sorting on would sort by the first.
    m_tblFindings->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_tblFindings->setSortingEnabled(true);

    m_lblTotals = new QLabel(totals, this);
    m_lblTotals->setObjectName(QStringLiteral("lblTotals"));
    m_cmdSaveCsv = new QPushButton(QStringLiteral("Als CSV speichern …"), this);
    m_cmdSaveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    m_cmdSaveCsv->setAutoDefault(false);
    m_cmdClose = new QPushButton(QStringLiteral("Schliessen"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSaveCsv);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tblFindings, 1);
    layout->addWidget(m_lblTotals);
    layout->addLayout(buttons);
    resize(1100, 460);

    connect(m_cmdSaveCsv, &QPushButton::clicked, this, [this] { cmdSaveCsv_Click(); });
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmCheck::cmdSaveCsv_Click()
{
    try {
        const QString fileName = prompt().saveFileName(
            QStringLiteral("Prüfergebnis speichern unter"), QStringLiteral("CSV-Datei (*.csv);;Alle Dateien (*)"), {});
        if (fileName.isEmpty())
            return; // cancelled
        writeCheckCsv(fileName, m_findings);
    } catch (...) {
        showError(16, QStringLiteral("frmCheck.cmdSaveCsv_Click"));
    }
}
