#include "app/frmMain.h"

#include "app/ElidedLabel.h"
#include "app/Globals.h"
#include "app/RunSettings.h"
#include "app/frmCheck.h"
#include "db/DemoDatabase.h"
#include "support/CheckBeforeRunSetting.h"
#include "support/HangingProgram.h"
#include "support/MainWindowFixture.h"
#include "support/OtherUser.h"

#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <sys/stat.h>

TEST_F(MainWindow, FirstStartWithoutStore)
{
    frmMain& w = openWindow();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9)"));
    // ODBC, nothing else checked, every text empty.
    EXPECT_EQ(settings(), QStringLiteral("optSRCFields0||||"));
    expectPdfOptions(true, false, QPalette::Button);
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
    // The password is never readable over the user's shoulder.
    EXPECT_EQ(edit("txtPDFPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("txtPDFPassword")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), u'*');
    // cmdSave has no caption: without its picture it would be a blank button.
    EXPECT_FALSE(control("cmdSave")->icon().isNull());
}

TEST_F(MainWindow, EnabledStatesAfterLoadAndAfterSwitchingTheOutputKind)
{
    struct Case
    {
        const char* label;
        int eLohnausweis, pdf;
        bool pdfOptions;
    };
    const Case cases[] = {
        {"PDF", 0, -1, true},
        {"both stored: PDF wins", -1, -1, true},
        {"eLohnausweis", -1, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        clsRegistryHandler store;
        store.SaveSettingLong(QStringLiteral("Output eLohnausweis"), c.eLohnausweis);
        store.SaveSettingLong(QStringLiteral("Output PDF"), c.pdf);
        openWindow();
        EXPECT_EQ(control("optPDF")->isChecked(), c.pdf != 0);
        EXPECT_EQ(control("opteLohnausweis")->isChecked(), c.pdf == 0 && c.eLohnausweis != 0);
        // Load leaves the password field as the clear check box wants it, whatever the output kind.
        expectPdfOptions(c.pdfOptions, false, QPalette::Button);
    }

    // Whatever the order of the clicks, the password field is open only with PDF and "Datei schützen".
    const struct
    {
        const char* click;
        bool pdfOptions, field;
    } steps[] = {{"optPDF", true, false},
                 {"chkPassword", true, true},
                 {"opteLohnausweis", false, false},
                 {"optPDF", true, true},
                 {"chkPassword", true, false},
                 {"optSRCFields1", true, false},
                 {"chkPassword", true, true}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.click);
        clickIndicator(step.click);
        expectPdfOptions(step.pdfOptions, step.field, step.field ? QPalette::Base : QPalette::Button);
        if (step.field)
            QTest::keyClicks(edit("txtPDFPassword"), QStringLiteral("x"));
    }
    EXPECT_EQ(edit("txtPDFPassword")->text(), QStringLiteral("xxx"));
    // No output kind chosen: ticking "Datei schützen" does not open the field.
    QFile::remove(clsRegistryHandler::storeFilePath());
    openWindow();
    clickIndicator("chkPassword");
    expectPdfOptions(true, false, QPalette::Button);
}

// "Eine Datei pro Mitarbeiter" is for PDF runs; its password kind counts with "Datei schützen", and only
// the typed password opens the password field.
TEST_F(MainWindow, PasswordKindPerEmployeeOpensTheFieldOnlyForTheTypedPassword)
{
    frmMain& w = openWindow();
    auto* kinds = w.findChild<QComboBox*>(QStringLiteral("cboEmployeePassword"));
    clickIndicator("optPDF");
    clickIndicator("chkPerEmployee");
    EXPECT_FALSE(kinds->isEnabled());
    clickIndicator("chkPassword");
    EXPECT_TRUE(kinds->isEnabled());
    expectPdfOptions(true, true, QPalette::Base);
    kinds->setCurrentIndex(kinds->findData(QStringLiteral("birthdate")));
    expectPdfOptions(true, false, QPalette::Button);
    EXPECT_EQ(w.employeePasswordKind(), EmployeePasswordKind::Birthdate);
    clickIndicator("chkPerEmployee");
    expectPdfOptions(true, true, QPalette::Base);
    clickIndicator("opteLohnausweis");
    EXPECT_FALSE(control("chkPerEmployee")->isEnabled() || kinds->isEnabled());
}

TEST_F(MainWindow, ParameterCheckShowsItsBoxesInOrder)
{
    frmMain& w = openWindow();
    const auto check = [&](const QString& lib) {
        m_prompt.boxes.clear();
        edit("txtLib")->setText(lib);
        const bool passed = w.chkControl();
        EXPECT_EQ(passed, m_prompt.boxes.isEmpty());
        for (const auto& box : m_prompt.boxes)
            EXPECT_TRUE(box.title == QStringLiteral("Parameter prüfen") && box.style == 48);
        return texts(m_prompt.boxes);
    };
    EXPECT_EQ(check(QStringLiteral("LOVARLIB")), (QStringList{kNoSource, kNoFile}));
    edit("txtSrcFile")->setText(QStringLiteral("SYS"));
    edit("txtToFile")->setText(QStringLiteral("/daten/Lohnausweis.csv"));
    // The library goes into the statements as a name: nothing but a plain name may pass.
    for (const QString& lib : {QStringLiteral("LIB;DROP"), QStringLiteral("1LIB"), QString(129, u'L')})
        EXPECT_EQ(check(lib), QStringList{kBadLibrary}) << lib.toStdString();
    for (const QString& lib : {QStringLiteral("L$#@_9"), QString(128, u'L')})
        EXPECT_EQ(check(lib), QStringList()) << lib.toStdString();
    // "Datei schützen" with an empty password would give a PDF that only looks protected.
    clickIndicator("optPDF");
    clickIndicator("chkPassword");
    EXPECT_EQ(check(QStringLiteral("LIB")), QStringList{kNoPassword});
    QTest::keyClicks(edit("txtPDFPassword"), QStringLiteral("geheim"));
    EXPECT_EQ(check(QStringLiteral("LIB")), QStringList());

    // Enter in a text box presses "Ausführen"; with everything empty no run starts.
    m_prompt.boxes.clear();
    for (const char* name : {"txtSrcFile", "txtLib", "txtToFile"})
        edit(name)->clear();
    clickIndicator("opteLohnausweis");
    QTest::keyClick(edit("txtLib"), Qt::Key_Return);
    EXPECT_EQ(texts(m_prompt.boxes), (QStringList{kNoSource, kNoLibrary, kNoFile}));
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindow, FailingRunCannotBeRestartedOrClosedAndTidiesUp)
{
    setCheckBeforeRun(false);
    HookPrompt hook;
    const ScopedPrompt scoped(hook);
    frmMain& w = openWindow();
    QStringList progress;
    QObject::connect(&w, &frmMain::statusTextChanged, &w, [&progress](const QString& t) { progress.append(t); });
    clickIndicator("optSRCFields1");
    edit("txtSrcFile")->setText(QStringLiteral("SYSTEM"));
    edit("txtLib")->setText(QStringLiteral("LOVARLIB"));
    edit("txtToFile")->setText(tempDir() + QStringLiteral("/Lohnausweis.csv"));
    clickIndicator("opteLohnausweis");
    bool hookRan = false;
    hook.onBox = [&] {
        hookRan = true;
        EXPECT_EQ(w.statusText(), QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
        EXPECT_EQ(control<QLabel>("StaBarText")->text(), w.statusText());
        EXPECT_TRUE(w.isRunning());
        EXPECT_FALSE(control("cmdRun")->isEnabled());
        EXPECT_TRUE(control("cmdClose")->isEnabled());
        EXPECT_FALSE(edit("txtSrcFile")->isEnabled());
        w.cmdRun_Click();
        // Closing asks whether to cancel the run; "Nein" leaves it running and the window open.
        hook.answers = {MsgAnswer::No};
        EXPECT_FALSE(w.close());
    };

    // No data source "SYSTEM" can be reached here: the reader shows its box and the run ends quietly.
    QTest::mouseClick(control("cmdRun"), Qt::LeftButton);

    ASSERT_TRUE(hookRan);
    ASSERT_EQ(hook.boxes.size(), 2);
    EXPECT_EQ(hook.boxes[0].text, QStringLiteral("Soll der Lauf abgebrochen werden?"));
    EXPECT_EQ(hook.boxes[0].style, MsgStyle::YesNo | MsgStyle::Question);
    EXPECT_EQ(hook.boxes[1].title, QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : clsADOConnect.init"));
    EXPECT_EQ(hook.boxes[1].style, 16);
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(w.statusText().isEmpty());
    EXPECT_EQ(progress, (QStringList{QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"), QString()}));
    EXPECT_TRUE(control("cmdRun")->isEnabled() && edit("txtSrcFile")->isEnabled());
    // The refused close did not store the settings either.
    EXPECT_TRUE(clsRegistryHandler().GetSettingString(QStringLiteral("Source")).isEmpty());

    // A run that wrote a file keeps its summary in the status bar; a long one loses its middle, so
    // that the start and the file's name stay in view, and shows in full as the tool tip.
    writeDemoDatabase(tempDir() + QStringLiteral("/demo.db"));
    edit("txtSrcFile")->setText(tempDir() + QStringLiteral("/demo.db"));
    const QString folder = tempDir() + QStringLiteral("/Mandanten/Alpenblick Treuhand AG/Lohnausweise 2025");
    ASSERT_TRUE(QDir().mkpath(folder));
    edit("txtToFile")->setText(folder + QStringLiteral("/Lohnausweis.csv"));
    QTest::mouseClick(control("cmdRun"), Qt::LeftButton);
    EXPECT_EQ(hook.boxes.size(), 2); // no new box
    EXPECT_EQ(w.statusText(),
              QStringLiteral("Fertig: 41 Lohnausweise in 1 CSV-Datei, ") + folder + QStringLiteral("/Lohnausweis.csv"));
    auto* bar = control<ElidedLabel>("StaBarText");
    EXPECT_EQ(bar->toolTip(), w.statusText());
    EXPECT_TRUE(bar->shownText().startsWith(QStringLiteral("Fertig: 41 Lohnausweise")))
        << bar->shownText().toStdString();
    EXPECT_TRUE(bar->shownText().endsWith(QStringLiteral("/Lohnausweis.csv")));
    EXPECT_TRUE(bar->shownText().contains(u'…'));
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->shownText()), bar->contentsRect().width());
}

TEST_F(MainWindow, EscWhileTheFormatterHangsCancelsTheRunAndTidiesUp)
{
    setCheckBeforeRun(false);
    writeDemoDatabase(tempDir() + QStringLiteral("/demo.db"));
    const HangingProgram hanging(tempDir());
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), hanging.path());
    // One formatter at a time, so that one document hangs; side-by-side jobs are the PDF run's test.
    clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), 1);
    frmMain& w = openWindow();
    clickIndicator("optSRCFields1");
    edit("txtSrcFile")->setText(tempDir() + QStringLiteral("/demo.db"));
    edit("txtLib")->setText(QStringLiteral("LOVARLIB"));
    const QString pdf = tempDir() + QStringLiteral("/LA_001.pdf");
    edit("txtToFile")->setText(tempDir() + QStringLiteral("/LA.pdf"));
    clickIndicator("optPDF");
    const QStringList temporaryDocuments{QStringLiteral("tmp*.tmp"), QStringLiteral("pdf*.tmp")};
    m_prompt.answers = {MsgAnswer::Yes};
    bool hung = false;
    hanging.whenRunning([&] {
        hung = true;
        // The window answers while the formatter works on the document and its PDF, which has no
        // place under its final name before it is complete.
        EXPECT_EQ(QDir(tempDir()).entryList(temporaryDocuments).size(), 2);
        EXPECT_FALSE(QFileInfo::exists(pdf));
        // A check now would read the rows the run reads: it waits.
        EXPECT_FALSE(control("cmdCheck")->isEnabled());
        QTest::keyClick(&w, Qt::Key_Escape);
    });

    QTest::mouseClick(control("cmdRun"), Qt::LeftButton);

    ASSERT_TRUE(hung);
    const QStringList shown = texts(m_prompt.boxes);
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0], QStringLiteral("Soll der Lauf abgebrochen werden?"));
    EXPECT_TRUE(shown[1].startsWith(QStringLiteral("Der Lauf wurde abgebrochen."))) << qPrintable(shown[1]);
    EXPECT_TRUE(HangingProgram::ended(hanging.processIds()));
    EXPECT_TRUE(QDir(tempDir()).entryList(temporaryDocuments).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isRunning());
    EXPECT_EQ(w.statusText(), QStringLiteral("Abgebrochen: keine Datei geschrieben"));
    EXPECT_TRUE(control("cmdCheck")->isEnabled());
}

TEST_F(MainWindow, ClosingStoresTheSettingsAndTheNextStartShowsThem)
{
    struct Case
    {
        int how; // 0 cmdClose, 1 Esc, 2 the window frame
        const char* transfer;
        const char* output; // nullptr: none
        bool openPdf;
        bool perEmployee; // with the date of birth as password
    };
    const Case cases[] = {{0, "optSRCFields1", "optPDF", true, true},
                          {1, "optSRCFields0", "opteLohnausweis", false, false},
                          {2, "optSRCFields1", nullptr, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        QFile::remove(clsRegistryHandler::storeFilePath());
        frmMain& w = openWindow();
        clickIndicator(c.transfer);
        edit("txtSrcFile")->setText(QStringLiteral("S44A1234"));
        edit("txtLib")->setText(QStringLiteral("LOVARDTA"));
        edit("txtToFile")->setText(QStringLiteral("/daten/Lohnausweis.pdf"));
        if (c.output)
            clickIndicator(c.output);
        if (c.openPdf)
            clickIndicator("chkOpenPDF");
        if (c.perEmployee) {
            clickIndicator("chkPerEmployee");
            auto* kinds = w.findChild<QComboBox*>(QStringLiteral("cboEmployeePassword"));
            kinds->setCurrentIndex(kinds->findData(QStringLiteral("birthdate")));
        }
        const QString shown = settings();
        control("chkPassword")->setChecked(true);
        edit("txtPDFPassword")->setText(QStringLiteral("geheim"));

        if (c.how == 0)
            QTest::mouseClick(control("cmdClose"), Qt::LeftButton);
        else if (c.how == 1)
            QTest::keyClick(edit("txtSrcFile"), Qt::Key_Escape);
        else
            w.close();

        EXPECT_FALSE(w.isVisible());
        const bool pdf = c.output && QByteArray(c.output) == "optPDF";
        const bool csv = c.output && !pdf;
        clsRegistryHandler store;
        // Exactly these values, numbers as numbers and a selected output kind as -1; neither the check box
        // nor the password.
        QStringList stored;
        for (const auto& [name, type] : store.GetAllValues(clsRegistryHandler::HKEY_CURRENT_USER_))
            stored.append(name + u'=' +
                          (type == 4 ? QString::number(store.GetSettingLong(name)) : store.GetSettingString(name)));
        stored.sort();
        EXPECT_EQ(stored.join(u';'),
                  QStringLiteral("%6Lib=LOVARDTA;Medium=%1;Output PDF=%2;Output eLohnausweis=%3;PDFOpen=%4;"
                                 "PerEmployee=%5;Source=S44A1234;ToFile=/daten/Lohnausweis.pdf")
                      .arg(QString::fromLatin1(c.transfer).back())
                      .arg(pdf ? -1 : 0)
                      .arg(csv ? -1 : 0)
                      .arg(c.openPdf ? 1 : 0)
                      .arg(c.perEmployee ? 1 : 0)
                      .arg(c.perEmployee ? QStringLiteral("EmployeePassword=birthdate;") : QString()));
        QFile file(clsRegistryHandler::storeFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("geheim"));

        // The next start shows all but the check box and the password; files an office protects by
        // the date of birth do not go out unprotected because the window was opened anew.
        openWindow();
        EXPECT_EQ(settings(),
                  c.perEmployee ? QString(shown).replace(QStringLiteral("chkPerEmployee"),
                                                         QStringLiteral("chkPassword|chkPerEmployee"))
                                : shown);
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(MainWindow, SaveDialogFiltersInitialNameAndCancel)
{
    openWindow();
    const QString chosen = QStringLiteral("/daten/Lohnausweis 2024.csv");
    const auto save = [this](const QString& answer) {
        m_prompt.saveAnswers = {answer};
        QTest::mouseClick(control("cmdSave"), Qt::LeftButton);
        return m_prompt.saveDialogs.constLast();
    };

    // First use with no output kind and a bare name, cancelled: no filter, nothing offered, field emptied.
    edit("txtToFile")->setText(QStringLiteral("Lohnausweis.csv"));
    RecordingPrompt::SaveDialog d = save(QString());
    EXPECT_EQ(d.title, QStringLiteral("Lohnausweis speichern unter"));
    EXPECT_EQ(d.filter + d.initialName, QString());
    EXPECT_TRUE(edit("txtToFile")->text().isEmpty());

    clickIndicator("opteLohnausweis");
    d = save(chosen);
    EXPECT_EQ(d.filter, QStringLiteral("CSV-Datei (*.csv);;Alle Dateien (*)"));
    EXPECT_EQ(edit("txtToFile")->text(), chosen);

    // The name with its directory is offered again; cancelling keeps it.
    clickIndicator("optPDF");
    d = save(QString());
    EXPECT_EQ(d.filter, QStringLiteral("PDF-Datei (*.pdf);;Alle Dateien (*)"));
    EXPECT_EQ(d.initialName, chosen);
    EXPECT_EQ(edit("txtToFile")->text(), chosen);

    // A bare name typed later, dialog cancelled: the name last chosen comes back.
    edit("txtToFile")->setText(QStringLiteral("anders.pdf"));
    d = save(QString());
    EXPECT_EQ(d.initialName, chosen);
    EXPECT_EQ(edit("txtToFile")->text(), chosen);
}

TEST_F(MainWindow, BadTransferTypeIsReportedOnceAndNothingStoredIsLost)
{
    clsRegistryHandler store;
    store.SaveSettingLong(QStringLiteral("Medium"), 7);
    store.SaveSettingString(QStringLiteral("Source"), QStringLiteral("S44A1234"));
    store.SaveSettingLong(QStringLiteral("Output PDF"), -1);

    frmMain& w = openWindow();

    ASSERT_EQ(m_prompt.boxes.size(), 1);
    EXPECT_EQ(m_prompt.boxes[0].title,
              QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : frmMain.loadSettings"));
    EXPECT_EQ(m_prompt.boxes[0].style, 16);
    EXPECT_TRUE(m_prompt.boxes[0].text.startsWith(QStringLiteral("Fehlernummer:  340")))
        << qPrintable(m_prompt.boxes[0].text);
    // ODBC instead, and the settings after it are loaded all the same.
    EXPECT_EQ(settings(), QStringLiteral("optSRCFields0|optPDF|S44A1234|||"));
    w.close();
    openWindow();
    EXPECT_EQ(settings(), QStringLiteral("optSRCFields0|optPDF|S44A1234|||"));
    EXPECT_EQ(m_prompt.boxes.size(), 1);
}

TEST_F(MainWindow, UnwritableStoreGivesOneBoxPerStart)
{
    const QString config = QFileInfo(QFileInfo(clsRegistryHandler::storeFilePath()).absolutePath()).absolutePath();
    ::chmod(QFile::encodeName(QFileInfo(config).absolutePath()).constData(), 0755);
    ::chmod(QFile::encodeName(config).constData(), 0555);
    gFopPath = gXslPath = gExportTable = QString();
    frmMain& w = openWindow();
    gFrmMain = &w;
    {
        const ActAsOtherUser other;
        for (int run = 0; run < 2; ++run)
            getINITValues();
        w.close();
    }
    // The defaults are used all the same; one box for two runs and the close.
    EXPECT_EQ(gFopPath + u'|' + gXslPath + u'|' + gExportTable,
              QStringLiteral("./fop/fop|./xsl/TaxAccountingForm.xsl|LGHLAEXP"));
    ASSERT_EQ(m_prompt.boxes.size(), 1);
    EXPECT_TRUE(m_prompt.boxes[0].text.contains(QStringLiteral("Vorgabewerte werden verwendet")));
    EXPECT_TRUE(m_prompt.boxes[0].title.endsWith(QStringLiteral("frmMain.getINITValues")));
}

TEST_F(MainWindow, CheckShowsTheFindingsOfTheDemoDatabaseSortedAndSavesThem)
{
    writeDemoDatabase(tempDir() + QStringLiteral("/demo.db"));
    frmMain& w = openWindow();
    edit("txtSrcFile")->setText(tempDir() + QStringLiteral("/demo.db"));
    edit("txtLib")->setText(QStringLiteral("DEMO"));
    // Esc on the login ends the check quietly, as it ends a run.
    m_prompt.loginCancelled = true;
    QTest::mouseClick(control("cmdCheck"), Qt::LeftButton);
    EXPECT_EQ(m_prompt.loginCount, 1);
    EXPECT_EQ(m_prompt.loginDataSource, tempDir() + QStringLiteral("/demo.db"));
    EXPECT_TRUE(m_prompt.boxes.isEmpty()) << m_prompt.boxes.value(0).text.toStdString();
    EXPECT_EQ(w.findChild<frmCheck*>(), nullptr);

    // No output kind and no output file: the check needs neither.
    clickIndicator("optSRCFields1");
    QTest::mouseClick(control("cmdCheck"), Qt::LeftButton);
    ASSERT_TRUE(m_prompt.boxes.isEmpty()) << m_prompt.boxes.first().text.toStdString();
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(w.statusText().isEmpty());

    auto* dialog = w.findChild<frmCheck*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible() && dialog->isModal());
    EXPECT_EQ(dialog->font(), w.font());
    EXPECT_LE(dialog->frameGeometry().width(), 1024);
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("lblTotals"))->text(),
              QStringLiteral("41 Lohnausweise geprüft: 2 Fehler, 10 Hinweise"));
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblFindings"));
    ASSERT_EQ(table->rowCount(), 12);
    ASSERT_EQ(table->columnCount(), 6);
    // Errors first, set apart by colour and icon; then the notices in the order of the rows.
    EXPECT_EQ(table->item(0, 0)->text() + table->item(1, 0)->text() + table->item(2, 0)->text(),
              QStringLiteral("FehlerFehlerHinweis"));
    EXPECT_EQ(table->item(0, 2)->text() + u'|' + table->item(0, 4)->text(),
              QStringLiteral("Meier Hans|Summe Ziffer 8"));
    EXPECT_TRUE(table->item(0, 5)->text().startsWith(QStringLiteral("Ziffer 8 (56'900.00)")));
    EXPECT_EQ(table->item(2, 2)->text() + u'|' + table->item(11, 2)->text(),
              QStringLiteral("Da Silva Costa João|de la Fontaine Élise"));
    EXPECT_NE(table->item(0, 5)->foreground().color(), table->item(2, 5)->foreground().color());
    EXPECT_FALSE(table->item(0, 0)->icon().isNull());
    EXPECT_NE(table->item(0, 0)->icon().cacheKey(), table->item(2, 0)->icon().cacheKey());
    // Every text shows in full: its row is as high as the wrapped text.
    const QFontMetrics metrics(table->font());
    const int textMargin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1;
    EXPECT_GE(table->columnWidth(5), table->viewport()->width() / 4);
    for (int row = 0; row < table->rowCount(); ++row) {
        const QRect needed = metrics.boundingRect(
            QRect(0, 0, table->columnWidth(5) - 2 * textMargin, 10000), Qt::TextWordWrap, table->item(row, 5)->text());
        EXPECT_GE(table->rowHeight(row), needed.height()) << row;
    }
    // No caption is cut by the sort indicator.
    const QStyle* style = table->horizontalHeader()->style();
    for (int column = 0; column < table->columnCount(); ++column)
        EXPECT_GE(table->horizontalHeader()->sectionSize(column),
                  metrics.horizontalAdvance(table->horizontalHeaderItem(column)->text()) +
                      style->pixelMetric(QStyle::PM_HeaderMarkSize) + 2 * style->pixelMetric(QStyle::PM_HeaderMargin))
            << column;
    // A click on the caption turns the order round.
    QTest::mouseClick(table->horizontalHeader()->viewport(),
                      Qt::LeftButton,
                      {},
                      QPoint(table->horizontalHeader()->sectionViewportPosition(0) + 5, 5));
    EXPECT_EQ(table->item(0, 0)->text() + table->item(11, 0)->text(), QStringLiteral("HinweisFehler"));

    const QString csv = tempDir() + QStringLiteral("/befunde.csv");
    m_prompt.saveAnswers = {QString(), csv}; // cancelled first, then a name
    for (int i = 0; i < 2; ++i)
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSaveCsv")), Qt::LeftButton);
    EXPECT_EQ(m_prompt.saveDialogs.size(), 2);
    EXPECT_EQ(m_prompt.saveDialogs[0].filter, QStringLiteral("CSV-Datei (*.csv);;Alle Dateien (*)"));
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("\r\n"), 1 + 12);

    // Esc closes it; the next one opens at the size this one was left with.
    dialog->resize(700, 420);
    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    QTest::mouseClick(control("cmdCheck"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.findChildren<frmCheck*>().size() == 1; }, 5000));
    dialog = w.findChild<frmCheck*>();
    EXPECT_EQ(dialog->size(), QSize(700, 420));
    // Enter presses "Schliessen".
    QTest::keyClick(dialog->findChild<QTableWidget*>(), Qt::Key_Return);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

// Before it writes, a run checks its rows: errors are shown in one box, and only "Ja" writes all the
// same. "Auswahl erstellen" in the findings runs the certificates of the marked rows alone.
TEST_F(MainWindow, RunChecksItsRowsAndTheFindingsRunTheirSelection)
{
    writeDemoDatabase(tempDir() + QStringLiteral("/demo.db"));
    frmMain& w = openWindow();
    clickIndicator("optSRCFields1");
    edit("txtSrcFile")->setText(tempDir() + QStringLiteral("/demo.db"));
    edit("txtLib")->setText(QStringLiteral("DEMO"));
    const QString csv = tempDir() + QStringLiteral("/LA.csv");
    edit("txtToFile")->setText(csv);
    clickIndicator("opteLohnausweis");

    for (const int answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        m_prompt.boxes.clear();
        m_prompt.answers = {answer};
        QTest::mouseClick(control("cmdRun"), Qt::LeftButton);
        ASSERT_EQ(m_prompt.boxes.size(), 1);
        EXPECT_EQ(m_prompt.boxes[0].style, MsgStyle::YesNo | MsgStyle::Exclamation);
        EXPECT_TRUE(m_prompt.boxes[0].text.startsWith(
            QStringLiteral("Die Prüfung vor dem Lauf hat 2 Fehler gefunden (41 Lohnausweise geprüft).\r\n\r\n"
                           "Alpenblick Treuhand AG, Meier Hans – Summe Ziffer 8: ")))
            << m_prompt.boxes[0].text.toStdString();
        EXPECT_EQ(QFileInfo::exists(csv), answer == MsgAnswer::Yes);
    }
    EXPECT_TRUE(
        w.statusText().startsWith(QStringLiteral("Fertig: 41 Lohnausweise in 1 CSV-Datei (2 Fehler, 10 Hinweise), ")))
        << w.statusText().toStdString();

    // The findings of Huber Beat and of the company without place and date: her certificate and the
    // company's, with the window's settings; the next run takes the whole table again.
    m_prompt.boxes.clear();
    QTest::mouseClick(control("cmdCheck"), Qt::LeftButton);
    auto* dialog = w.findChild<frmCheck*>();
    ASSERT_NE(dialog, nullptr);
    auto* table = dialog->findChild<QTableWidget*>(QStringLiteral("tblFindings"));
    auto* runSelection = dialog->findChild<QPushButton*>(QStringLiteral("cmdRunSelection"));
    EXPECT_FALSE(runSelection->isEnabled());
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->item(row, 2)->text() == QStringLiteral("Huber Beat") ||
            table->item(row, 4)->text() == QStringLiteral("Ort und Datum fehlen"))
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    EXPECT_EQ(dialog->selectedCertificates().criteria().size(), 2);
    ASSERT_TRUE(runSelection->isEnabled());
    QFile::remove(csv);
    QTest::mouseClick(runSelection, Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(csv) && !w.isRunning(); }, 10000));
    const QString written = QString::fromLatin1(readBytes(csv));
    EXPECT_EQ(written.count(QStringLiteral("\r\n1;")) + written.startsWith(QStringLiteral("1;")), 2);
    const QString bakery = QStringLiteral("1;B\u00e4ckerei M\u00fcller & S\u00f6hne GmbH;");
    const qsizetype bakeryCertificates = written.mid(written.indexOf(bakery)).count(QStringLiteral("\r\n3;"));
    EXPECT_EQ(written.count(QStringLiteral("\r\n3;")), 1 + bakeryCertificates);
    EXPECT_GT(bakeryCertificates, 1);
    EXPECT_TRUE(written.contains(QStringLiteral(";Huber;Beat;")));
    EXPECT_TRUE(m_prompt.boxes.isEmpty()) << m_prompt.boxes.value(0).text.toStdString(); // no errors among them
    EXPECT_TRUE(w.runSelection().isEmpty());
}
