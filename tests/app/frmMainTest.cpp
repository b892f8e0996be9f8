#include "app/frmMain.h"

#include "AppTestEnvironment.h"
#include "app/Globals.h"
#include "platform/clsRegistryHandler.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <functional>
#include <memory>

namespace {

const QString kParameterTitle = QStringLiteral("Parameter prüfen");
const QString kNoSource = QStringLiteral("Bei der ausgewählten Option muss ein Pfad angegeben werden.");
const QString kNoFile = QStringLiteral("Es muss ein Verzeichnis und ein Dateiname für die DTA-Datei angegeben werden.");
const QString kNoLibrary = QStringLiteral("Es muss eine Bibliothek angegeben werden.");
const QString kBadLibrary =
    QStringLiteral("Die Bibliothek darf nur Buchstaben, Ziffern und die Zeichen _ $ # @ enthalten, "
                   "nicht mit einer Ziffer beginnen und höchstens 128 Zeichen lang sein.");

// Answers like RecordingPrompt and lets a test act while a box is open, as a user could while the
// run waits.
class HookPrompt : public RecordingPrompt
{
public:
    int messageBox(const QString& text, int style, const QString& title) override
    {
        if (onBox) {
            auto hook = std::move(onBox);
            onBox = nullptr;
            hook();
        }
        return RecordingPrompt::messageBox(text, style, title);
    }
    std::function<void()> onBox;
};

class MainWindow : public AppTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        AppTest::TearDown();
    }

    frmMain& openWindow()
    {
        m_window = std::make_unique<frmMain>();
        m_window->show();
        return *m_window;
    }

    template <typename T> T* control(const char* name)
    {
        T* w = m_window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }
    QAbstractButton* button(const char* name) { return control<QAbstractButton>(name); }

    // Option buttons and check boxes react to a click on their indicator, not on the blank space
    // of their wide control.
    void clickIndicator(const char* name)
    {
        QAbstractButton* b = button(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

    void fillValidSettings()
    {
        edit("txtSrcFile")->setText(QStringLiteral("SYSTEM"));
        edit("txtLib")->setText(QStringLiteral("LOVARLIB"));
        edit("txtToFile")->setText(tempDir() + QStringLiteral("/Lohnausweis.csv"));
        clickIndicator("opteLohnausweis");
    }

    static QColor systemColor(QPalette::ColorRole role) { return QApplication::palette().color(role); }

    std::unique_ptr<frmMain> m_window;
};

QStringList texts(const QList<RecordingPrompt::Box>& boxes)
{
    QStringList result;
    for (const auto& b : boxes)
        result.append(b.text);
    return result;
}

} // namespace

TEST_F(MainWindow, FirstStartWithoutStore)
{
    frmMain& w = openWindow();

    EXPECT_EQ(w.windowTitle(), QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9)"));
    EXPECT_TRUE(button("optSRCFields0")->isChecked());
    EXPECT_FALSE(button("optSRCFields1")->isChecked());
    for (const char* name : {"txtSrcFile", "txtLib", "txtToFile", "txtPDFPassword"})
        EXPECT_TRUE(edit(name)->text().isEmpty()) << name;
    EXPECT_FALSE(button("optPDF")->isChecked());
    EXPECT_FALSE(button("opteLohnausweis")->isChecked());
    EXPECT_FALSE(button("chkOpenPDF")->isChecked());
    EXPECT_FALSE(button("chkPassword")->isChecked());
    EXPECT_TRUE(button("chkOpenPDF")->isEnabled());
    EXPECT_TRUE(button("chkPassword")->isEnabled());
    EXPECT_FALSE(edit("txtPDFPassword")->isEnabled());
    EXPECT_EQ(edit("txtPDFPassword")->palette().color(QPalette::Base), systemColor(QPalette::Button));
    EXPECT_EQ(gFrmMain, &w);
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(MainWindow, ControlsStandWhereUsersKnowThem)
{
    struct Spec
    {
        const char* name;
        const char* parent;
        int left, top, width, height;
        const char* caption;
        const char* toolTip;
    };
    const Spec specs[] = {
        {"frameTransferType", "frmMain", 120, 240, 5775, 735, "Übertragungsart", ""},
        {"optSRCFields0", "frameTransferType", 120, 360, 850, 255, "ODBC", ""},
        {"optSRCFields1",
         "frameTransferType",
         1440,
         360,
         850,
         255,
         "OLE",
         "Erfordert den OLE-Treiber von iSeries Access"},
        {"framSource", "frmMain", 120, 1080, 5775, 1215, "LOVAR/400 Rariz Datenbibliothek", ""},
        {"lblSrcFile", "framSource", 120, 360, 1095, 375, "System/DSN:", ""},
        {"txtSrcFile",
         "framSource",
         1320,
         360,
         3735,
         285,
         "",
         "Wenn die Übertragungsart ODBC ist muss der DSN-Name eingetragen werden. Bei Übertragungsart OLE muss der "
         "System-Name eingetragen werden."},
        {"lblLIB", "framSource", 120, 720, 975, 375, "Bibliothek:", ""},
        {"txtLib", "framSource", 1320, 720, 3735, 285, "", "LOVAR Rariz Datenbibliothek"},
        {"framToFile", "frmMain", 120, 2400, 5775, 1215, "Datei", ""},
        {"optPDF", "framToFile", 120, 240, 1575, 255, "PDF", ""},
        {"opteLohnausweis", "framToFile", 1320, 240, 1695, 255, "eLohnausweis SSK", ""},
        {"lblD4File", "framToFile", 120, 600, 975, 375, "Datei:", ""},
        {"txtToFile", "framToFile", 1320, 600, 3735, 285, "", ""},
        {"cmdSave", "framToFile", 5160, 600, 495, 375, "", ""},
        {"framPDF", "frmMain", 120, 3720, 5775, 1455, "PDF Optionen", ""},
        {"chkOpenPDF",
         "framPDF",
         120,
         240,
         2295,
         375,
         "Nach Erstellung anzeigen",
         "Durch diese Angabe wird die PDF-Datei nach der Verarbeitung geöffnet."},
        {"chkPassword",
         "framPDF",
         120,
         600,
         2175,
         255,
         "Datei schützen",
         "Durch diese Angabe kann die PDF-Datei mit einem Password geschützt werden."},
        {"txtPDFPassword", "framPDF", 1320, 960, 3735, 285, "", ""},
        {"cmdRun", "frmMain", 3600, 5280, 1095, 375, "Ausführen", ""},
        {"cmdClose", "frmMain", 4800, 5280, 1095, 375, "S&chliessen", ""},
        {"StaBar", "frmMain", 0, 5760, 6015, 375, "", ""},
    };
    frmMain& w = openWindow();
    EXPECT_EQ(w.size(), QSize(w.twips(6015), w.twips(6135)));
    for (const Spec& s : specs) {
        SCOPED_TRACE(s.name);
        QWidget* c = control<QWidget>(s.name);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->parentWidget()->objectName(), QString::fromLatin1(s.parent));
        EXPECT_EQ(c->geometry(), QRect(w.twips(s.left), w.twips(s.top), w.twips(s.width), w.twips(s.height)));
        QString caption;
        if (auto* g = qobject_cast<QGroupBox*>(c))
            caption = g->title();
        else if (auto* l = qobject_cast<QLabel*>(c))
            caption = l->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(c))
            caption = b->text();
        EXPECT_EQ(caption, QString::fromUtf8(s.caption));
        EXPECT_EQ(c->toolTip(), QString::fromUtf8(s.toolTip));
    }
    EXPECT_NE(qobject_cast<QRadioButton*>(button("optPDF")), nullptr);
    EXPECT_NE(qobject_cast<QCheckBox*>(button("chkPassword")), nullptr);
    EXPECT_EQ(edit("txtPDFPassword")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(edit("txtPDFPassword")->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), u'*');
    EXPECT_EQ(button("cmdSave")->icon().actualSize(QSize(16, 15)), QSize(16, 15));
    EXPECT_TRUE(control<QPushButton>("cmdRun")->isDefault());
}

TEST_F(MainWindow, TabOrderFollowsTheTabIndexes)
{
    openWindow();
    const QStringList expected = {QStringLiteral("optSRCFields1"),
                                  QStringLiteral("txtSrcFile"),
                                  QStringLiteral("txtLib"),
                                  QStringLiteral("txtToFile"),
                                  QStringLiteral("cmdSave"),
                                  QStringLiteral("chkOpenPDF"),
                                  QStringLiteral("chkPassword"),
                                  QStringLiteral("txtPDFPassword"),
                                  QStringLiteral("cmdRun"),
                                  QStringLiteral("cmdClose"),
                                  QStringLiteral("optSRCFields0"),
                                  QStringLiteral("optPDF"),
                                  QStringLiteral("opteLohnausweis")};
    QStringList seen;
    QWidget* start = button("optSRCFields1");
    QWidget* w = start;
    do {
        if (expected.contains(w->objectName()))
            seen.append(w->objectName());
        w = w->nextInFocusChain();
    } while (w != start);
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindow, EnabledStatesAfterLoadFollowTheStoredOutputKind)
{
    struct Case
    {
        const char* label;
        int eLohnausweis;
        int pdf;
        bool openPdf, password, passwordField;
    };
    const Case cases[] = {
        {"none", 0, 0, true, true, false},
        {"PDF", 0, -1, true, true, false},
        {"eLohnausweis", -1, 0, false, false, false},
        {"both stored: PDF wins", -1, -1, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        clsRegistryHandler store;
        store.SaveSettingLong(QStringLiteral("Output eLohnausweis"), c.eLohnausweis);
        store.SaveSettingLong(QStringLiteral("Output PDF"), c.pdf);

        openWindow();

        EXPECT_EQ(button("optPDF")->isChecked(), c.pdf != 0);
        EXPECT_EQ(button("chkOpenPDF")->isEnabled(), c.openPdf);
        EXPECT_EQ(button("chkPassword")->isEnabled(), c.password);
        EXPECT_EQ(edit("txtPDFPassword")->isEnabled(), c.passwordField);
        m_window.reset();
    }
}

TEST_F(MainWindow, SwitchingOutputKindOnlySetsThePdfOptions)
{
    clsRegistryHandler().SaveSettingLong(QStringLiteral("Output eLohnausweis"), -1);
    openWindow();
    QLineEdit* password = edit("txtPDFPassword");
    ASSERT_FALSE(password->isEnabled());

    clickIndicator("optPDF");
    ASSERT_TRUE(button("optPDF")->isChecked());
    EXPECT_TRUE(button("chkOpenPDF")->isEnabled());
    EXPECT_TRUE(button("chkPassword")->isEnabled());
    // Enabled although chkPassword is clear, and still in the colour of a disabled field.
    EXPECT_TRUE(password->isEnabled());
    EXPECT_EQ(password->palette().color(QPalette::Base), systemColor(QPalette::Button));

    clickIndicator("chkPassword");
    EXPECT_TRUE(password->isEnabled());
    EXPECT_EQ(password->palette().color(QPalette::Base), systemColor(QPalette::Base));
    QTest::keyClicks(password, QStringLiteral("geheim"));
    clickIndicator("chkPassword");
    EXPECT_FALSE(password->isEnabled());
    EXPECT_EQ(password->palette().color(QPalette::Base), systemColor(QPalette::Button));
    EXPECT_EQ(password->text(), QStringLiteral("geheim"));

    clickIndicator("optSRCFields1");
    EXPECT_FALSE(password->isEnabled());
    EXPECT_TRUE(button("chkOpenPDF")->isEnabled());

    clickIndicator("opteLohnausweis");
    EXPECT_FALSE(button("chkOpenPDF")->isEnabled());
    EXPECT_FALSE(button("chkPassword")->isEnabled());
    EXPECT_FALSE(password->isEnabled());
}

TEST_F(MainWindow, ParameterChecksShowTheirBoxesInOrder)
{
    struct Case
    {
        const char* label;
        QString source, lib, file;
        bool output;
        QStringList boxes;
    };
    const QString file = QStringLiteral("/daten/Lohnausweis.csv");
    const Case cases[] = {
        {"source and file empty", {}, QStringLiteral("LOVARLIB"), {}, true, {kNoSource, kNoFile}},
        {"everything empty", {}, {}, {}, false, {kNoSource, kNoLibrary, kNoFile}},
        {"library with a statement", QStringLiteral("SYS"), QStringLiteral("LIB;DROP"), file, true, {kBadLibrary}},
        {"library starting with a digit", QStringLiteral("SYS"), QStringLiteral("1LIB"), file, true, {kBadLibrary}},
        {"library with a blank", QStringLiteral("SYS"), QStringLiteral("LOVAR LIB"), file, true, {kBadLibrary}},
        {"library too long", QStringLiteral("SYS"), QString(129, u'L'), file, true, {kBadLibrary}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        m_prompt.boxes.clear();
        frmMain& w = openWindow();
        edit("txtSrcFile")->setText(c.source);
        edit("txtLib")->setText(c.lib);
        edit("txtToFile")->setText(c.file);
        if (c.output)
            clickIndicator("opteLohnausweis");

        QTest::mouseClick(button("cmdRun"), Qt::LeftButton);

        EXPECT_EQ(texts(m_prompt.boxes), c.boxes);
        for (const auto& box : m_prompt.boxes) {
            EXPECT_EQ(box.title, kParameterTitle);
            EXPECT_EQ(box.style, 48);
        }
        // No run: no log was opened.
        EXPECT_FALSE(QFileInfo::exists(logPath()));
        EXPECT_FALSE(w.isBusyCursor());
        EXPECT_TRUE(w.statusText().isEmpty());
        m_window.reset();
    }
}

TEST_F(MainWindow, PlainLibraryNamesPass)
{
    frmMain& w = openWindow();
    fillValidSettings();
    for (const QString& lib :
         {QStringLiteral("LOVARLIB"), QStringLiteral("L$#@_9"), QStringLiteral("lovar"), QString(128, u'L')}) {
        edit("txtLib")->setText(lib);
        EXPECT_TRUE(w.chkControl()) << lib.toStdString();
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(MainWindow, EnterInATextBoxPressesAusfuehren)
{
    openWindow();
    QTest::keyClick(edit("txtLib"), Qt::Key_Return);
    EXPECT_EQ(texts(m_prompt.boxes), (QStringList{kNoSource, kNoLibrary, kNoFile}));
}

TEST_F(MainWindow, RunReportsFailureAndClearsStatus)
{
    frmMain& w = openWindow();
    fillValidSettings();
    clickIndicator("optSRCFields1");

    QTest::mouseClick(button("cmdRun"), Qt::LeftButton);

    // No data source can be reached here, so the run ends with an error box.
    ASSERT_FALSE(m_prompt.boxes.isEmpty());
    EXPECT_EQ(m_prompt.boxes.constLast().style, 16);
    EXPECT_TRUE(QFileInfo::exists(logPath()));
    EXPECT_FALSE(w.isBusyCursor());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(w.statusText().isEmpty());
    EXPECT_EQ(gLog, nullptr);
}

TEST_F(MainWindow, RunCannotBeRestartedOrInterrupted)
{
    HookPrompt hook;
    const ScopedPrompt scoped(hook);
    frmMain& w = openWindow();
    fillValidSettings();
    clickIndicator("optSRCFields1");
    bool hookRan = false;
    hook.onBox = [&] {
        hookRan = true;
        EXPECT_TRUE(w.isRunning());
        EXPECT_FALSE(button("cmdRun")->isEnabled());
        EXPECT_FALSE(button("cmdClose")->isEnabled());
        EXPECT_FALSE(edit("txtSrcFile")->isEnabled());
        w.cmdRun_Click();
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(w.isVisible());
    };

    QTest::mouseClick(button("cmdRun"), Qt::LeftButton);

    EXPECT_TRUE(hookRan);
    EXPECT_EQ(hook.boxes.size(), 1);
    EXPECT_FALSE(w.isRunning());
    EXPECT_TRUE(button("cmdRun")->isEnabled());
    EXPECT_TRUE(edit("txtSrcFile")->isEnabled());
    EXPECT_TRUE(w.isVisible());
    // The refused close did not store the settings either.
    EXPECT_TRUE(clsRegistryHandler().GetSettingString(QStringLiteral("Source")).isEmpty());
}

TEST_F(MainWindow, ClosingStoresTheSettingsHoweverItIsClosed)
{
    const std::function<void(frmMain&)> closers[] = {
        [this](frmMain&) { QTest::mouseClick(button("cmdClose"), Qt::LeftButton); },
        [this](frmMain&) { QTest::keyClick(edit("txtSrcFile"), Qt::Key_Escape); },
        [](frmMain& w) { w.close(); },
    };
    int index = 0;
    for (const auto& closeWindow : closers) {
        SCOPED_TRACE(index++);
        QFile::remove(clsRegistryHandler::storeFilePath());
        frmMain& w = openWindow();
        clickIndicator("optSRCFields1");
        edit("txtSrcFile")->setText(QStringLiteral("S44A1234"));
        edit("txtLib")->setText(QStringLiteral("LOVARDTA"));
        edit("txtToFile")->setText(QStringLiteral("/daten/Lohnausweis.pdf"));
        clickIndicator("optPDF");
        clickIndicator("chkOpenPDF");
        clickIndicator("chkPassword");
        QTest::keyClicks(edit("txtPDFPassword"), QStringLiteral("geheim"));

        closeWindow(w);

        EXPECT_FALSE(w.isVisible());
        clsRegistryHandler store;
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("Medium"), 99), 1);
        EXPECT_EQ(store.GetSettingString(QStringLiteral("Source")), QStringLiteral("S44A1234"));
        EXPECT_EQ(store.GetSettingString(QStringLiteral("Lib")), QStringLiteral("LOVARDTA"));
        EXPECT_EQ(store.GetSettingString(QStringLiteral("ToFile")), QStringLiteral("/daten/Lohnausweis.pdf"));
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("PDFOpen"), 99), 1);
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("Output eLohnausweis"), 99), 0);
        EXPECT_EQ(store.GetSettingLong(QStringLiteral("Output PDF"), 99), -1);
        // Nothing else is stored: neither the check box nor the password.
        QStringList names;
        for (const auto& [name, type] : store.GetAllValues(clsRegistryHandler::HKEY_CURRENT_USER_))
            names.append(name);
        names.sort();
        EXPECT_EQ(names,
                  (QStringList{QStringLiteral("Lib"),
                               QStringLiteral("Medium"),
                               QStringLiteral("Output PDF"),
                               QStringLiteral("Output eLohnausweis"),
                               QStringLiteral("PDFOpen"),
                               QStringLiteral("Source"),
                               QStringLiteral("ToFile")}));
        QFile file(clsRegistryHandler::storeFilePath());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("geheim"));
        m_window.reset();
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(MainWindow, AltCClosesTheWindow)
{
    frmMain& w = openWindow();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_C, Qt::AltModifier);
    // An access key presses the button the animated way: the click follows a moment later.
    EXPECT_TRUE(QTest::qWaitFor([&w] { return !w.isVisible(); }));
    EXPECT_EQ(clsRegistryHandler().GetSettingLong(QStringLiteral("Medium"), 99), 0);
}

TEST_F(MainWindow, NextStartShowsTheStoredSettingsButNoPassword)
{
    frmMain& first = openWindow();
    clickIndicator("optSRCFields1");
    edit("txtSrcFile")->setText(QStringLiteral("S44A1234"));
    edit("txtLib")->setText(QStringLiteral("LOVARDTA"));
    edit("txtToFile")->setText(QStringLiteral("/daten/LA.csv"));
    clickIndicator("opteLohnausweis");
    clickIndicator("chkPassword"); // disabled by the output kind: stays clear
    edit("txtPDFPassword")->setText(QStringLiteral("geheim"));
    first.close();
    m_window.reset();

    openWindow();

    EXPECT_TRUE(button("optSRCFields1")->isChecked());
    EXPECT_FALSE(button("optSRCFields0")->isChecked());
    EXPECT_EQ(edit("txtSrcFile")->text(), QStringLiteral("S44A1234"));
    EXPECT_EQ(edit("txtLib")->text(), QStringLiteral("LOVARDTA"));
    EXPECT_EQ(edit("txtToFile")->text(), QStringLiteral("/daten/LA.csv"));
    EXPECT_TRUE(button("opteLohnausweis")->isChecked());
    EXPECT_FALSE(button("optPDF")->isChecked());
    EXPECT_FALSE(button("chkPassword")->isChecked());
    EXPECT_TRUE(edit("txtPDFPassword")->text().isEmpty());
}

TEST_F(MainWindow, SaveDialogOffersTheFilterOfTheOutputKind)
{
    openWindow();
    clickIndicator("opteLohnausweis");
    m_prompt.saveAnswers = {QStringLiteral("/daten/Lohnausweis 2024.csv")};

    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);

    ASSERT_EQ(m_prompt.saveDialogs.size(), 1);
    EXPECT_EQ(m_prompt.saveDialogs[0].title, QStringLiteral("Lohnausweis speichern unter"));
    EXPECT_EQ(m_prompt.saveDialogs[0].filter, QStringLiteral("CSV-Datei (*.csv);;Alle Dateien (*)"));
    EXPECT_EQ(m_prompt.saveDialogs[0].initialName, QString());
    EXPECT_EQ(edit("txtToFile")->text(), QStringLiteral("/daten/Lohnausweis 2024.csv"));

    clickIndicator("optPDF");
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    ASSERT_EQ(m_prompt.saveDialogs.size(), 2);
    EXPECT_EQ(m_prompt.saveDialogs[1].filter, QStringLiteral("PDF-Datei (*.pdf);;Alle Dateien (*)"));
    // The name with its directory is offered again; cancelling keeps it.
    EXPECT_EQ(m_prompt.saveDialogs[1].initialName, QStringLiteral("/daten/Lohnausweis 2024.csv"));
    EXPECT_EQ(edit("txtToFile")->text(), QStringLiteral("/daten/Lohnausweis 2024.csv"));
}

TEST_F(MainWindow, CancelledSaveDialogAndBareFileNames)
{
    openWindow();
    edit("txtToFile")->setText(QStringLiteral("Lohnausweis.csv"));

    // First use, cancelled: a bare name is not offered, so the field ends up empty.
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    ASSERT_EQ(m_prompt.saveDialogs.size(), 1);
    EXPECT_EQ(m_prompt.saveDialogs[0].initialName, QString());
    EXPECT_EQ(m_prompt.saveDialogs[0].filter, QString());
    EXPECT_TRUE(edit("txtToFile")->text().isEmpty());

    m_prompt.saveAnswers = {QStringLiteral("/daten/LA.csv")};
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(edit("txtToFile")->text(), QStringLiteral("/daten/LA.csv"));

    // A bare name typed later, dialog cancelled: the name last chosen comes back.
    edit("txtToFile")->setText(QStringLiteral("anders.csv"));
    QTest::mouseClick(button("cmdSave"), Qt::LeftButton);
    EXPECT_EQ(m_prompt.saveDialogs.constLast().initialName, QStringLiteral("/daten/LA.csv"));
    EXPECT_EQ(edit("txtToFile")->text(), QStringLiteral("/daten/LA.csv"));
}

TEST_F(MainWindow, FailingLoadShowsItsLocationAndStops)
{
    clsRegistryHandler store;
    store.SaveSettingLong(QStringLiteral("Medium"), 7);
    store.SaveSettingString(QStringLiteral("Source"), QStringLiteral("S44A1234"));

    openWindow();

    ASSERT_EQ(m_prompt.boxes.size(), 1);
    EXPECT_EQ(m_prompt.boxes[0].title,
              QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : frmMain.loadSettings"));
    EXPECT_EQ(m_prompt.boxes[0].style, 16);
    EXPECT_TRUE(m_prompt.boxes[0].text.contains(u'7'));
    // The settings after the failing one stay unloaded.
    EXPECT_TRUE(edit("txtSrcFile")->text().isEmpty());
    EXPECT_FALSE(button("optSRCFields0")->isChecked());
    EXPECT_FALSE(button("optSRCFields1")->isChecked());
    // Form_Load goes on: the password field is still brought into its state.
    EXPECT_FALSE(edit("txtPDFPassword")->isEnabled());
}

TEST_F(MainWindow, StatusTextReachesTheStatusBar)
{
    frmMain& w = openWindow();
    QStringList seen;
    QObject::connect(&w, &frmMain::statusTextChanged, &w, [&seen](const QString& t) { seen.append(t); });

    w.setStatusText(QStringLiteral("Datensatz lesen: 12"));

    auto* bar = control<QStatusBar>("StaBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->findChild<QLabel*>(QStringLiteral("StaBarText"))->text(), QStringLiteral("Datensatz lesen: 12"));
    EXPECT_EQ(seen, QStringList{QStringLiteral("Datensatz lesen: 12")});
}
