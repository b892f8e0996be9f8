#include "app/frmMain.h"

#include "app/ElidedLabel.h"
#include "app/Globals.h"
#include "app/PasswordStarStyle.h"
#include "app/RunDispatch.h"
#include "app/RunSettings.h"
#include "app/RunningGuard.h"
#include "app/WindowCheck.h"
#include "app/WindowMetrics.h"
#include "app/frmCheck.h"
#include "db/LibraryName.h"
#include "platform/AppIdentity.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/clsRegistryHandler.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace {

// Client area of the window, in twips.
constexpr int kClientWidth = 6015;
constexpr int kClientHeight = 6135;

// The number the runtime gives for a control array index that does not exist.
constexpr int kNoSuchControlElement = 340;

const QString kParameterTitle = QStringLiteral("Parameter prüfen");
const QString kCsvFilter = QStringLiteral("CSV-Datei (*.csv);;Alle Dateien (*)");
const QString kPdfFilter = QStringLiteral("PDF-Datei (*.pdf);;Alle Dateien (*)");

struct Rect
{
    int left;
    int top;
    int width;
    int height;
};

} // namespace

// The resources live in a static library; without this the linker may drop them.
static void initResources()
{
    Q_INIT_RESOURCE(lohnausweis);
}

frmMain::frmMain(QWidget* parent)
    : QWidget(parent)
{
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    m_dpi = logicalDpi(this);
    buildControls();
    setWindowTitle(appTitle());
    if (!gFrmMain)
        gFrmMain = this;
}

frmMain::~frmMain()
{
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
    if (gFrmMain == this)
        gFrmMain = nullptr;
}

int frmMain::twips(int value) const
{
    return twipsToPixels(value, m_dpi);
}

void frmMain::buildControls()
{
    // The controls sit at fixed places, as payroll staff know the window from the screenshots of
    // their instructions; a layout would move them.
    setFont(dialogFont(font()));
    setFixedSize(twips(kClientWidth), twips(kClientHeight));

    const auto place = [this](QWidget* w, const char* name, Rect r) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(twips(r.left), twips(r.top), twips(r.width), twips(r.height));
    };
    const auto topAligned = [](QLabel* label) { label->setAlignment(Qt::AlignLeft | Qt::AlignTop); };

    m_frameTransferType = new QGroupBox(QStringLiteral("Übertragungsart"), this);
    place(m_frameTransferType, "frameTransferType", {120, 240, 5775, 735});
    m_optSRCFields[0] = new QRadioButton(QStringLiteral("ODBC"), m_frameTransferType);
    place(m_optSRCFields[0], "optSRCFields0", {120, 360, 850, 255});
    m_optSRCFields[1] = new QRadioButton(QStringLiteral("OLE"), m_frameTransferType);
    place(m_optSRCFields[1], "optSRCFields1", {1440, 360, 850, 255});
    m_optSRCFields[1]->setToolTip(QStringLiteral("Erfordert den OLE-Treiber von iSeries Access"));

    m_framSource = new QGroupBox(QStringLiteral("LOVAR/400 Rariz Datenbibliothek"), this);
    place(m_framSource, "framSource", {120, 1080, 5775, 1215});
    m_lblSrcFile = new QLabel(QStringLiteral("System/DSN:"), m_framSource);
    place(m_lblSrcFile, "lblSrcFile", {120, 360, 1095, 375});
    topAligned(m_lblSrcFile);
    m_txtSrcFile = new QLineEdit(m_framSource);
    place(m_txtSrcFile, "txtSrcFile", {1320, 360, 3735, 285});
    m_txtSrcFile->setToolTip(QStringLiteral("Wenn die Übertragungsart ODBC ist muss der DSN-Name eingetragen werden. "
                                            "Bei Übertragungsart OLE muss der System-Name eingetragen werden."));
    m_lblLIB = new QLabel(QStringLiteral("Bibliothek:"), m_framSource);
    place(m_lblLIB, "lblLIB", {120, 720, 975, 375});
    topAligned(m_lblLIB);
    m_txtLib = new QLineEdit(m_framSource);
    place(m_txtLib, "txtLib", {1320, 720, 3735, 285});
    m_txtLib->setToolTip(QStringLiteral("LOVAR Rariz Datenbibliothek"));

    m_framToFile = new QGroupBox(QStringLiteral("Datei"), this);
    place(m_framToFile, "framToFile", {120, 2400, 5775, 1215});
    m_optPDF = new QRadioButton(QStringLiteral("PDF"), m_framToFile);
    place(m_optPDF, "optPDF", {120, 240, 1575, 255});
    m_opteLohnausweis = new QRadioButton(QStringLiteral("eLohnausweis SSK"), m_framToFile);
    place(m_opteLohnausweis, "opteLohnausweis", {1320, 240, 1695, 255});
    m_lblD4File = new QLabel(QStringLiteral("Datei:"), m_framToFile);
    place(m_lblD4File, "lblD4File", {120, 600, 975, 375});
    topAligned(m_lblD4File);
    m_txtToFile = new QLineEdit(m_framToFile);
    place(m_txtToFile, "txtToFile", {1320, 600, 3735, 285});
    m_cmdSave = new QPushButton(m_framToFile);
    place(m_cmdSave, "cmdSave", {5160, 600, 495, 375});
    m_cmdSave->setIcon(QIcon(QStringLiteral(":/icons/save.png")));
    m_cmdSave->setIconSize(QSize(16, 15));

    m_framPDF = new QGroupBox(QStringLiteral("PDF Optionen"), this);
    place(m_framPDF, "framPDF", {120, 3720, 5775, 1455});
    m_chkOpenPDF = new QCheckBox(QStringLiteral("Nach Erstellung anzeigen"), m_framPDF);
    place(m_chkOpenPDF, "chkOpenPDF", {120, 240, 2295, 375});
    m_chkOpenPDF->setToolTip(QStringLiteral("Durch diese Angabe wird die PDF-Datei nach der Verarbeitung geöffnet."));
    m_chkPassword = new QCheckBox(QStringLiteral("Datei schützen"), m_framPDF);
    place(m_chkPassword, "chkPassword", {120, 600, 2175, 255});
    m_chkPassword->setToolTip(
        QStringLiteral("Durch diese Angabe kann die PDF-Datei mit einem Password geschützt werden."));
    m_txtPDFPassword = new QLineEdit(m_framPDF);
    place(m_txtPDFPassword, "txtPDFPassword", {1320, 960, 3735, 285});
    PasswordStarStyle::apply(m_txtPDFPassword);

    m_cmdRun = new QPushButton(QStringLiteral("Ausführen"), this);
    place(m_cmdRun, "cmdRun", {3600, 5280, 1095, 375});
    m_cmdRun->setDefault(true);
    // Left of "Ausführen" in the free space of the button row, so that no other control moves.
    m_cmdCheck = new QPushButton(QStringLiteral("Prüfen"), this);
    place(m_cmdCheck, "cmdCheck", {2400, 5280, 1095, 375});
    m_cmdCheck->setToolTip(QStringLiteral("Prüft die Lohnausweisdaten, ohne eine Datei zu schreiben."));
    m_cmdClose = new QPushButton(QStringLiteral("S&chliessen"), this);
    place(m_cmdClose, "cmdClose", {4800, 5280, 1095, 375});

    m_StaBar = new QStatusBar(this);
    place(m_StaBar, "StaBar", {0, 5760, 6015, 375});
    m_StaBar->setSizeGripEnabled(false);
    m_staBarText = new ElidedLabel(m_StaBar);
    m_staBarText->setObjectName(QStringLiteral("StaBarText"));
    m_StaBar->addWidget(m_staBarText, 1);

    setTabOrderByIndex();

    connect(m_optPDF, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optPDF_Click();
    });
    connect(m_opteLohnausweis, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            opteLohnausweis_Click();
    });
    connect(m_chkPassword, &QCheckBox::toggled, this, [this] { chkPassword_Click(); });
    connect(m_cmdSave, &QPushButton::clicked, this, [this] { cmdSave_Click(); });
    connect(m_cmdRun, &QPushButton::clicked, this, [this] { cmdRun_Click(); });
    connect(m_cmdCheck, &QPushButton::clicked, this, [this] { cmdCheck_Click(); });
    connect(m_cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    m_perEmployee = new PerEmployeeControls(*this); // last: its handlers run after those above
}

void frmMain::setTabOrderByIndex()
{
    // In the order users tab through the window: the OLE button first, ODBC and the output kinds last.
    const QWidget* const order[] = {m_optSRCFields[1],
                                    m_txtSrcFile,
                                    m_txtLib,
                                    m_txtToFile,
                                    m_cmdSave,
                                    m_chkOpenPDF,
                                    m_chkPassword,
                                    m_txtPDFPassword,
                                    m_cmdCheck,
                                    m_cmdRun,
                                    m_cmdClose,
                                    m_optSRCFields[0],
                                    m_optPDF,
                                    m_opteLohnausweis};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(const_cast<QWidget*>(order[i - 1]), const_cast<QWidget*>(order[i]));
}

// ---- MainWindowView ----

int frmMain::transferButtonCount() const
{
    return static_cast<int>(std::size(m_optSRCFields));
}

bool frmMain::transferButtonChecked(int index) const
{
    if (index < 0 || index >= transferButtonCount())
        throw LaError::runtime(ErrNo::Subscript);
    return m_optSRCFields[index]->isChecked();
}

QString frmMain::txtSrcFile() const
{
    return m_txtSrcFile->text();
}

QString frmMain::txtLib() const
{
    return m_txtLib->text();
}

QString frmMain::txtToFile() const
{
    return m_txtToFile->text();
}

bool frmMain::optPDF() const
{
    return m_optPDF->isChecked();
}

bool frmMain::opteLohnausweis() const
{
    return m_opteLohnausweis->isChecked();
}

bool frmMain::chkOpenPDF() const
{
    return m_chkOpenPDF->isChecked();
}

bool frmMain::chkPassword() const
{
    return m_chkPassword->isChecked();
}

QString frmMain::txtPDFPassword() const
{
    return m_txtPDFPassword->text();
}

void frmMain::setFileProgress(qint64 done, qint64 started)
{
    emit fileProgressChanged(QStringLiteral("Datei %1 von %2").arg(done).arg(started));
}

void frmMain::setStatusText(const QString& text)
{
    m_staBarText->setText(text);
    // The run holds the event loop; paint now so that the user sees the progress.
    if (m_staBarText->isVisible())
        m_staBarText->repaint();
    emit statusTextChanged(text);
}

QString frmMain::statusText() const
{
    return m_staBarText->text();
}

void frmMain::setBusyCursor(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

// ---- Window procedures ----

void frmMain::Form_Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    try {
        m_store = std::make_unique<clsRegistryHandler>();
        initGlobals();
        setWindowTitle(appTitle() + QStringLiteral(" (") + gVersion + u')');
        loadSettings();
        chkPassword_Click();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.Form_Load"));
    }
}

void frmMain::Form_Unload()
{
    try {
        saveSettings();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.Form_Unload"));
    }
}

void frmMain::loadSettings()
{
    try {
        if (!m_store)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        qint32 medium = m_store->GetSettingLong(QString::fromUtf8(SettingName::Medium), 0);
        if (medium < 0 || medium >= transferButtonCount()) {
            // Stopping here would leave the other settings unloaded, and closing would then store
            // them empty: tell, take ODBC and go on.
            showError(
                LaError::runtime(kNoSuchControlElement,
                                 QStringLiteral("Steuerelementfeld-Element '%1' ist nicht vorhanden.").arg(medium)),
                16,
                QStringLiteral("frmMain.loadSettings"));
            medium = 0;
        }
        m_optSRCFields[medium]->setChecked(true);

        m_txtSrcFile->setText(m_store->GetSettingString(QString::fromUtf8(SettingName::Source)));
        m_txtLib->setText(m_store->GetSettingString(QString::fromUtf8(SettingName::Lib)));
        m_txtToFile->setText(m_store->GetSettingString(QString::fromUtf8(SettingName::ToFile)));
        m_chkOpenPDF->setChecked(m_store->GetSettingLong(QString::fromUtf8(SettingName::PDFOpen), 0) != 0);

        // Selecting an option runs its click handler; clearing one does nothing further.
        if (m_store->GetSettingLong(QString::fromUtf8(SettingName::OutputELohnausweis), 0) != 0)
            m_opteLohnausweis->setChecked(true);
        if (m_store->GetSettingLong(QString::fromUtf8(SettingName::OutputPDF), 0) != 0)
            m_optPDF->setChecked(true);
        m_perEmployee->load(*m_store);
    } catch (...) {
        showError(16, QStringLiteral("frmMain.loadSettings"));
    }
}

void frmMain::saveSettings()
{
    try {
        if (!m_store)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        m_store->SaveSettingLong(QString::fromUtf8(SettingName::Medium), getMediumIndex());
        m_store->SaveSettingString(QString::fromUtf8(SettingName::Source), m_txtSrcFile->text());
        m_store->SaveSettingString(QString::fromUtf8(SettingName::Lib), m_txtLib->text());
        m_store->SaveSettingString(QString::fromUtf8(SettingName::ToFile), m_txtToFile->text());
        m_store->SaveSettingLong(QString::fromUtf8(SettingName::PDFOpen), m_chkOpenPDF->isChecked() ? 1 : 0);
        m_store->SaveSettingLong(QString::fromUtf8(SettingName::OutputELohnausweis),
                                 m_opteLohnausweis->isChecked() ? -1 : 0);
        m_store->SaveSettingLong(QString::fromUtf8(SettingName::OutputPDF), m_optPDF->isChecked() ? -1 : 0);
        m_perEmployee->save(*m_store);
    } catch (...) {
        // A store a run of this start already found unwritable is not reported a second time.
        if (!storeWarningShown()) {
            setStoreWarningShown();
            showError(16, QStringLiteral("frmMain.saveSettings"));
        }
    }
}

bool frmMain::chkControl()
{
    bool result = true;
    try {
        const auto refuse = [&result](const QString& text) {
            prompt().messageBox(text, MsgStyle::OkOnly | MsgStyle::Exclamation, kParameterTitle);
            result = false;
        };
        if (m_txtSrcFile->text().isEmpty())
            refuse(QStringLiteral("Bei der ausgewählten Option muss ein Pfad angegeben werden."));
        // The library is put into the statements as a name, so only plain names may pass.
        const QString library = m_txtLib->text();
        if (library.isEmpty())
            refuse(QStringLiteral("Es muss eine Bibliothek angegeben werden."));
        else if (!isPlainLibraryName(library))
            refuse(QStringLiteral("Die Bibliothek darf nur Buchstaben, Ziffern und die Zeichen _ $ # @ enthalten, "
                                  "nicht mit einer Ziffer beginnen und höchstens 128 Zeichen lang sein."));
        if (m_txtToFile->text().isEmpty())
            refuse(QStringLiteral("Es muss ein Verzeichnis und ein Dateiname für die DTA-Datei angegeben werden."));
        // An empty password gives a PDF that only looks protected.
        if (m_perEmployee->passwordFieldUsed() && m_txtPDFPassword->text().isEmpty())
            refuse(QStringLiteral("Für \"Datei schützen\" muss ein Passwort angegeben werden."));
    } catch (...) {
        showError(16, QStringLiteral("frmMain.chkControl"));
    }
    return result;
}

void frmMain::setControls()
{
    try {
        if (m_opteLohnausweis->isChecked()) {
            m_chkOpenPDF->setEnabled(false);
            m_chkPassword->setEnabled(false);
            m_txtPDFPassword->setEnabled(false);
        }
        if (m_optPDF->isChecked()) {
            m_chkOpenPDF->setEnabled(true);
            m_chkPassword->setEnabled(true);
        }
        // A password typed into an enabled field while "Datei schützen" is clear would silently not
        // be used: the field follows chkPassword and the output kind together.
        chkPassword_Click();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.setControls"));
    }
}

void frmMain::chkPassword_Click()
{
    try {
        const bool on = m_perEmployee->passwordFieldUsed();
        const QPalette system = QApplication::palette();
        QPalette palette = m_txtPDFPassword->palette();
        palette.setColor(QPalette::Base, system.color(on ? QPalette::Base : QPalette::Button));
        m_txtPDFPassword->setEnabled(on);
        m_txtPDFPassword->setPalette(palette);
    } catch (...) {
        showError(16, QStringLiteral("frmMain.chkPassword_Click"));
    }
}

void frmMain::optPDF_Click()
{
    try {
        setControls();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.optPDF_Click"));
    }
}

void frmMain::opteLohnausweis_Click()
{
    try {
        setControls();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.opteLohnausweis_Click"));
    }
}

void frmMain::cmdSave_Click()
{
    try {
        if (m_opteLohnausweis->isChecked())
            m_dialogFilter = kCsvFilter;
        if (m_optPDF->isChecked())
            m_dialogFilter = kPdfFilter;
        // Only a name with a directory part is offered as the starting point; a bare name is not
        // a place to save to.
        const QString current = m_txtToFile->text();
        if (current.contains(u'/') || current.contains(u'\\'))
            m_dialogFileName = current;
        // A cancelled dialog answers with the name it started from.
        m_dialogFileName =
            prompt().saveFileName(QStringLiteral("Lohnausweis speichern unter"), m_dialogFilter, m_dialogFileName);
        m_txtToFile->setText(m_dialogFileName);
    } catch (...) {
        showError(16, QStringLiteral("frmMain.cmdSave_Click"));
    }
}

void frmMain::cmdRun_Click()
{
    // A second press while a run waits for the formatter would start a run inside the run.
    if (m_running)
        return;
    const RunningGuard guard([this](bool running) { setRunning(running); });
    m_lastRun.start();
    try {
        setBusyCursor(true);
        if (chkControl())
            runSalaryReport(m_lastRun);
    } catch (...) {
        showError(16, QStringLiteral("frmMain.cmdRun_Click"));
    }
    setBusyCursor(false);
    // What the run wrote stays in view until the next run; a run that wrote nothing clears the bar.
    setStatusText(m_lastRun.statusText());
}

void frmMain::cmdCheck_Click()
{
    if (m_running)
        return;
    try {
        frmCheck* dialog = nullptr;
        {
            const RunningGuard guard([this](bool running) { setRunning(running); });
            dialog = checkFromWindow(*this);
        }
        if (dialog)
            dialog->open();
    } catch (...) {
        showError(16, QStringLiteral("frmMain.cmdCheck_Click"));
    }
}

void frmMain::cmdClose_Click()
{
    close();
}

void frmMain::setRunning(bool running)
{
    m_running = running;
    // A request answered for an earlier run must not end the next one.
    if (running)
        m_cancel.reset();
    // The controls stay readable but cannot be changed while the generators read them. The close
    // button stays: during a run it offers to cancel it.
    const std::initializer_list<QWidget*> controls = {
        m_frameTransferType, m_framSource, m_framToFile, m_framPDF, m_cmdRun, m_cmdCheck};
    for (QWidget* w : controls)
        w->setEnabled(!running);
    if (!running)
        m_cmdRun->setFocus();
}

// ---- Events ----

void frmMain::showEvent(QShowEvent* event)
{
    Form_Load();
    QWidget::showEvent(event);
}

void frmMain::askToCancelRun()
{
    if (m_cancel.isRequested())
        return;
    const int answer = prompt().messageBox(
        QStringLiteral("Soll der Lauf abgebrochen werden?"), MsgStyle::YesNo | MsgStyle::Question, appTitle());
    if (answer == MsgAnswer::Yes)
        m_cancel.request();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    // Closing half-way through a run would leave a half-written output file behind; the user may
    // cancel the run instead, which then ends tidily and leaves the window open.
    if (m_running) {
        event->ignore();
        askToCancelRun();
        return;
    }
    if (m_loaded)
        Form_Unload();
    event->accept();
}

void frmMain::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter presses the focused button, anywhere else the default button.
        if (auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget()); button && isAncestorOf(button))
            button->click();
        else
            m_cmdRun->click();
        event->accept();
        return;
    case Qt::Key_Escape:
        m_cmdClose->click();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
