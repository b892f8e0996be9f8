#include "app/HeadlessCheck.h"

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/HeadlessPrompt.h"
#include "app/RunSettings.h"
#include "app/RunSignals.h"
#include "app/frmMain.h"
#include "platform/LaError.h"
#include "platform/RunCancel.h"
#include "report/CheckReport.h"
#include "report/OverwriteQuestion.h"
#include "report/PlausibilityCheck.h"
#include "report/RunSelection.h"

#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>
#include <unistd.h>

int runHeadlessCheck(const CommandLine& commandLine)
{
    HeadlessPrompt headless(
        stderr, isatty(fileno(stderr)) != 0, {commandLine.yes, commandLine.user, commandLine.password});
    const ScopedPrompt scoped(headless);

    // The hidden window supplies the stored settings, as for a headless run.
    frmMain window;
    gFrmMain = &window;
    window.Form_Load();
    if (commandLine.transfer)
        window
            .findChild<QRadioButton*>(*commandLine.transfer == 0 ? QStringLiteral("optSRCFields0")
                                                                 : QStringLiteral("optSRCFields1"))
            ->setChecked(true);
    if (commandLine.source)
        window.findChild<QLineEdit*>(QStringLiteral("txtSrcFile"))->setText(*commandLine.source);
    if (commandLine.lib)
        window.findChild<QLineEdit*>(QStringLiteral("txtLib"))->setText(*commandLine.lib);
    if (window.txtSrcFile().isEmpty()) {
        std::fputs("Kein System- oder DSN-Name: bitte --source angeben.\n", stderr);
        return CheckExit::Usage;
    }

    PlausibilityCheck check;
    // As a run: a signal cancels the check at its next row; nothing has been written by then.
    RunSignals termination(*window.runCancel());
    try {
        // Asked before the check runs, as a run asks before it writes.
        gOverwriteAsked = false;
        if (commandLine.toFile && !mayWriteOutputFile(*commandLine.toFile)) {
            std::fputs("Die Prüfung wurde nicht ausgeführt, weil die Rückfrage mit Abbrechen beantwortet wurde "
                       "(--yes beantwortet sie mit OK).\n",
                       stderr);
            return CheckExit::NotChecked;
        }
        const bool done = check.run(getMediumIndex(),
                                    window.txtSrcFile(),
                                    window.txtLib(),
                                    RunSelection::of(commandLine.companies, commandLine.employees),
                                    [&headless](qint64 row) {
                                        headless.progress(QStringLiteral("Datensatz prüfen: ") + QString::number(row));
                                    });
        headless.endProgress();
        termination.runEnded();
        if (termination.caught())
            throw RunCancel::cancelledError();
        if (!done)
            return CheckExit::NotChecked;
        const CertificateChecker& result = check.result();
        const QString totals =
            checkTotals(result.rowCount(), result.count(CheckSeverity::Error), result.count(CheckSeverity::Notice));
        if (commandLine.toFile)
            writeCheckReport(*commandLine.toFile, result.findings(), totals);
        else
            std::fputs(checkReportTable(result.findings()).toUtf8().constData(), stdout);
        std::fputs((totals + u'\n').toUtf8().constData(), stdout);
        // A box during the check (the person table unreadable) means a part of it was left out.
        if (result.count(CheckSeverity::Error) > 0)
            return CheckExit::ErrorsFound;
        return headless.failureShown() ? CheckExit::NotChecked : CheckExit::Clean;
    } catch (...) {
        headless.endProgress();
        termination.runEnded();
        if (termination.caught()) {
            std::fputs("Die Prüfung wurde abgebrochen.\n", stderr);
            return termination.exitStatus();
        }
        showError(16, QStringLiteral("lohnausweis.check"));
        return CheckExit::NotChecked;
    }
}
