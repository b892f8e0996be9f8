#include "app/WindowCheck.h"

#include "app/RunSettings.h"
#include "app/frmCheck.h"
#include "app/frmMain.h"
#include "platform/Prompt.h"
#include "report/CheckReport.h"
#include "report/PlausibilityCheck.h"

#include <QScopeGuard>

frmCheck* checkFromWindow(frmMain& window)
{
    // The check reads the rows only: it needs the source and library, no output file or kind.
    if (window.txtSrcFile().isEmpty()) {
        prompt().messageBox(QStringLiteral("Bei der ausgewählten Option muss ein Pfad angegeben werden."),
                            MsgStyle::OkOnly | MsgStyle::Exclamation,
                            QStringLiteral("Parameter prüfen"));
        return nullptr;
    }
    PlausibilityCheck check;
    {
        window.setBusyCursor(true);
        const auto restore = qScopeGuard([&window] {
            window.setBusyCursor(false);
            window.setStatusText(QString());
        });
        window.setStatusText(QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
        if (!check.run(
                getMediumIndex(), window.txtSrcFile(), window.txtLib(), window.runSelection(), [&window](qint64 row) {
                    window.setStatusText(QStringLiteral("Datensatz prüfen: ") + QString::number(row));
                }))
            return nullptr;
    }
    const CertificateChecker& result = check.result();
    auto* dialog = new frmCheck(
        result.findings(),
        checkTotals(result.rowCount(), result.count(CheckSeverity::Error), result.count(CheckSeverity::Notice)),
        &window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // After the dialog has gone: the run waits for the formatter with events running, which may delete it.
    QObject::connect(dialog, &frmCheck::runSelectionRequested, &window, [&window](const RunSelection& selection) {
        QMetaObject::invokeMethod(
            &window,
            [&window, selection] {
                window.setRunSelection(selection);
                window.cmdRun_Click();
                window.setRunSelection({});
            },
            Qt::QueuedConnection);
    });
    return dialog;
}
