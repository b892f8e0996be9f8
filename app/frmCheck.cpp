#include "app/frmCheck.h"

#include "app/Globals.h"
#include "app/WindowMetrics.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/clsRegistryHandler.h"
#include "report/CheckReport.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSeverityColumn = 0;
constexpr int kTextColumn = 5;
// Dark enough to stay readable on a black-and-white printout of the window; the icon tells errors
// apart for those who cannot tell the colour.
const QColor kErrorColour(0xA0, 0x00, 0x00);

} // namespace

frmCheck::frmCheck(QList<CheckFinding> findings, const QString& totals, QWidget* parent)
    : QDialog(parent)
    , m_findings(std::move(findings))
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Plausibilitätsprüfung"));
    // A dialog is a window of its own and takes no font from the main window by itself.
    setFont(parent ? parent->font() : dialogFont(font()));

    // The size first: the columns are shared out over it.
    restoreSize();
    m_tblFindings = new QTableWidget(this);
    m_tblFindings->setObjectName(QStringLiteral("tblFindings"));
    fillTable();

    m_lblTotals = new QLabel(totals, this);
    m_lblTotals->setObjectName(QStringLiteral("lblTotals"));
    m_cmdSaveCsv = new QPushButton(QStringLiteral("Als CSV speichern …"), this);
    m_cmdSaveCsv->setObjectName(QStringLiteral("cmdSaveCsv"));
    m_cmdSaveCsv->setAutoDefault(false);
    m_cmdRunSelection = new QPushButton(QStringLiteral("Auswahl erstellen"), this);
    m_cmdRunSelection->setObjectName(QStringLiteral("cmdRunSelection"));
    m_cmdRunSelection->setToolTip(
        QStringLiteral("Erstellt die Lohnausweise der markierten Zeilen mit den Einstellungen "
                       "des Hauptfensters."));
    m_cmdRunSelection->setAutoDefault(false);
    m_cmdRunSelection->setEnabled(false);
    m_cmdClose = new QPushButton(QStringLiteral("Schliessen"), this);
    m_cmdClose->setObjectName(QStringLiteral("cmdClose"));
    m_cmdClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdSaveCsv);
    buttons->addStretch(1);
    buttons->addWidget(m_cmdRunSelection);
    buttons->addWidget(m_cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tblFindings, 1);
    layout->addWidget(m_lblTotals);
    layout->addLayout(buttons);
    resize(size().expandedTo(minimumSizeHint()));

    connect(m_cmdSaveCsv, &QPushButton::clicked, this, [this] { cmdSaveCsv_Click(); });
    connect(m_cmdRunSelection, &QPushButton::clicked, this, [this] { cmdRunSelection_Click(); });
    connect(m_tblFindings->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        m_cmdRunSelection->setEnabled(m_tblFindings->selectionModel()->hasSelection());
    });
    connect(m_cmdClose, &QPushButton::clicked, this, &QDialog::accept);
}

void frmCheck::fillTable()
{
    const QStringList columns = checkReportColumns();
    m_tblFindings->setColumnCount(int(columns.size()));
    m_tblFindings->setRowCount(int(m_findings.size()));
    m_tblFindings->setHorizontalHeaderLabels(columns);
    m_tblFindings->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblFindings->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tblFindings->verticalHeader()->hide();
    m_tblFindings->setWordWrap(true);
    const QIcon errorIcon = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon noticeIcon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    for (int row = 0; row < m_findings.size(); ++row) {
        const CheckFinding& f = m_findings[row];
        const QStringList values = checkReportValues(f);
        const bool error = f.severity() == CheckSeverity::Error;
        for (int column = 0; column < values.size(); ++column) {
            auto* item = new QTableWidgetItem(values[column]);
            item->setToolTip(values[column]);
            if (error)
                item->setForeground(kErrorColour);
            m_tblFindings->setItem(row, column, item);
        }
        QTableWidgetItem* severity = m_tblFindings->item(row, kSeverityColumn);
        severity->setIcon(error ? errorIcon : noticeIcon);
        // The finding behind the row, whatever order the clerk sorts the table in.
        severity->setData(Qt::UserRole, row);
        if (error) {
            QFont bold = font();
            bold.setBold(true);
            severity->setFont(bold);
        }
    }
    // Errors first, each group in the order of the rows (company, employee): the sort is stable.
    // With the indicator shown from the start, the captions are measured with room for it.
    QHeaderView* header = m_tblFindings->horizontalHeader();
    header->setSortIndicatorShown(true);
    m_tblFindings->sortItems(kSeverityColumn, Qt::AscendingOrder);
    m_tblFindings->setSortingEnabled(true);
    m_tblFindings->resizeColumnsToContents();
    // Long names and rule names wrap, so that the text keeps the larger part of the width.
    const int longest = std::max(80, width() / 7);
    for (const int column : {1, 2, 4})
        header->resizeSection(column, std::min(header->sectionSize(column), longest));
    // The text takes the width left and wraps in full; the rows grow with it.
    header->setSectionResizeMode(kTextColumn, QHeaderView::Stretch);
    m_tblFindings->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
}

QSize frmCheck::defaultSize()
{
    return {960, 540};
}

void frmCheck::restoreSize()
{
    QSize size = defaultSize();
    try {
        clsRegistryHandler store;
        const QSize stored(store.GetSettingLong(QString::fromUtf8(SettingName::CheckWidth), 0),
                           store.GetSettingLong(QString::fromUtf8(SettingName::CheckHeight), 0));
        if (stored.width() > 0 && stored.height() > 0)
            size = stored;
    } catch (...) {
        // A store that cannot be read leaves the default size; the main window reports the store.
    }
    // A size kept from a larger screen must not put the buttons out of reach.
    if (const QScreen* s = screen())
        size = size.boundedTo(s->availableGeometry().size() - QSize(40, 60));
    resize(size);
}

void frmCheck::done(int result)
{
    try {
        clsRegistryHandler store;
        store.SaveSettingLong(QString::fromUtf8(SettingName::CheckWidth), width());
        store.SaveSettingLong(QString::fromUtf8(SettingName::CheckHeight), height());
    } catch (...) {
        // The size is a convenience; a store that cannot be written is reported by the main window.
    }
    QDialog::done(result);
}

RunSelection frmCheck::selectedCertificates() const
{
    RunSelection selection;
    for (const QModelIndex& index : m_tblFindings->selectionModel()->selectedRows(kSeverityColumn)) {
        const CheckFinding& f = m_findings.at(index.data(Qt::UserRole).toInt());
        // The new AHV number finds the person whatever the spelling of the name; without one, the name.
        selection.add(f.company, f.employee.isEmpty() ? QString() : f.ahvNumber.isEmpty() ? f.employee : f.ahvNumber);
    }
    return selection;
}

void frmCheck::cmdRunSelection_Click()
{
    const RunSelection selection = selectedCertificates();
    if (selection.isEmpty())
        return;
    accept();
    emit runSelectionRequested(selection);
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
