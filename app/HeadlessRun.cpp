#include "app/HeadlessRun.h"

#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/HeadlessPrompt.h"
#include "app/RunSignals.h"
#include "app/frmMain.h"
#include "db/DemoDatabase.h"
#include "platform/LaError.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <cstdio>
#include <unistd.h>

namespace {

void setText(frmMain& window, const char* name, const std::optional<QString>& value)
{
    if (value)
        window.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(*value);
}

void check(frmMain& window, const char* name)
{
    window.findChild<QAbstractButton*>(QString::fromLatin1(name))->setChecked(true);
}

} // namespace

int runHeadless(const CommandLine& commandLine)
{
    HeadlessPrompt headless(stderr,
                            isatty(fileno(stderr)) != 0,
                            {commandLine.yes, commandLine.user, commandLine.password, commandLine.ignoreCheckErrors});
    const ScopedPrompt scoped(headless);

    frmMain window;
    gFrmMain = &window;
    QObject::connect(
        &window, &frmMain::statusTextChanged, &window, [&headless](const QString& text) { headless.progress(text); });
    QObject::connect(
        &window, &frmMain::fileProgressChanged, &window, [&headless](const QString& text) { headless.progress(text); });
    window.Form_Load();

    if (commandLine.transfer)
        check(window, *commandLine.transfer == 0 ? "optSRCFields0" : "optSRCFields1");
    setText(window, "txtSrcFile", commandLine.source);
    setText(window, "txtLib", commandLine.lib);
    setText(window, "txtToFile", commandLine.toFile);
    if (commandLine.output)
        check(window, *commandLine.output == CommandLine::Output::Pdf ? "optPDF" : "opteLohnausweis");
    if (commandLine.openPdf)
        check(window, "chkOpenPDF");
    if (commandLine.pdfPassword) {
        check(window, "chkPassword");
        setText(window, "txtPDFPassword", commandLine.pdfPassword);
    }
    if (commandLine.perEmployee) {
        // The stored output kind may be the import file, which has no files per employee.
        if (!window.optPDF()) {
            std::fputs("Eine Datei pro Mitarbeiter (--per-employee) gibt es nur für PDF-Dateien (--output pdf).\n",
                       stderr);
            return 2;
        }
        check(window, "chkPerEmployee");
    }
    if (commandLine.employeePassword) {
        auto* kinds = window.findChild<QComboBox*>(QStringLiteral("cboEmployeePassword"));
        if (const int index = kinds->findData(*commandLine.employeePassword); index >= 0)
            kinds->setCurrentIndex(index);
        window.findChild<QAbstractButton*>(QStringLiteral("chkPassword"))
            ->setChecked(*commandLine.employeePassword != QLatin1String("none"));
    }
    window.setRunSelection(RunSelection::of(commandLine.companies, commandLine.employees));

    // Ctrl-C, a closed terminal or a stop from a job scheduler cancel the run tidily.
    RunSignals termination(*window.runCancel());
    if (!termination.caught())
        window.cmdRun_Click();
    termination.runEnded();
    headless.endProgress();
    // Standard output carries only what was written, for scripts; the boxes go to standard error.
    for (const QString& line : window.lastRunSummary().lines(commandLine.verbose))
        std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
    if (termination.caught())
        return termination.exitStatus();

    if (headless.cancelled()) {
        std::fputs("Der Lauf wurde abgebrochen, weil eine Rückfrage mit Abbrechen beantwortet wurde "
                   "(--yes beantwortet sie mit OK).\n",
                   stderr);
    }
    // The window is never closed, so the settings of this run are not stored.
    return headless.failureShown() || headless.cancelled() ? 1 : 0;
}

int runWriteDemoDatabase(const CommandLine& commandLine)
{
    try {
        writeDemoDatabase(commandLine.demoDbFile);
        return 0;
    } catch (...) {
        const LaError error = toLaError(std::current_exception());
        const QString text = QStringLiteral("Die Demo-Datenbank '%1' konnte nicht geschrieben werden.\n%2\n")
                                 .arg(commandLine.demoDbFile, error.description());
        std::fputs(text.toUtf8().constData(), stderr);
        return 1;
    }
}
