#include "report/CheckBeforeRun.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "platform/Prompt.h"
#include "report/PlausibilityCheck.h"
#include "report/RunSelection.h"
#include "report/RunSummary.h"

namespace {

// One line per error, as the clerk looks the certificate up: employee (or company), rule, text.
QString findingLine(const CheckFinding& f)
{
    const QString who = f.employee.isEmpty() ? f.company : f.company + QStringLiteral(", ") + f.employee;
    return who + QStringLiteral(" – ") + f.ruleName() + QStringLiteral(": ") + f.text;
}

} // namespace

bool checkBeforeRun(const std::shared_ptr<DbConnection>& connection,
                    const QString& library,
                    const RunSelection& selection,
                    bool withPersons,
                    RunSummary& summary)
{
    if (!checkBeforeRunSetting())
        return true;
    if (gFrmMain)
        gFrmMain->setStatusText(QStringLiteral("Lohnausweisdaten prüfen"));
    PlausibilityCheck check;
    if (!check.runOn(connection, library, selection, withPersons, [](qint64 row) {
            if (gFrmMain)
                gFrmMain->setStatusText(QStringLiteral("Datensatz prüfen: ") + QString::number(row));
        }))
        return false;
    const CertificateChecker& result = check.result();
    const qsizetype errors = result.count(CheckSeverity::Error);
    summary.setCheckCounts(errors, result.count(CheckSeverity::Notice));
    if (errors == 0)
        return true;
    QStringList lines;
    for (const CheckFinding& f : result.findings()) {
        if (f.severity() == CheckSeverity::Error)
            lines.append(findingLine(f));
    }
    const QString text =
        QStringLiteral("Die Prüfung vor dem Lauf hat %1 Fehler gefunden (%2 %3 geprüft).")
            .arg(errors)
            .arg(result.rowCount())
            .arg(result.rowCount() == 1 ? QStringLiteral("Lohnausweis") : QStringLiteral("Lohnausweise"));
    return prompt().writeDespiteCheckErrors(text, lines);
}
