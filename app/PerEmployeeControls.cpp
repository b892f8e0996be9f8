#include "app/PerEmployeeControls.h"

#include "app/Globals.h"
#include "app/frmMain.h"
#include "platform/clsRegistryHandler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

PerEmployeeControls::PerEmployeeControls(frmMain& window)
    : QObject(&window)
    , m_window(window)
    , m_optPDF(window.findChild<QRadioButton*>(QStringLiteral("optPDF")))
    , m_chkPassword(window.findChild<QCheckBox*>(QStringLiteral("chkPassword")))
    , m_txtPDFPassword(window.findChild<QLineEdit*>(QStringLiteral("txtPDFPassword")))
{
    auto* frame = window.findChild<QGroupBox*>(QStringLiteral("framPDF"));
    const auto place = [&window](QWidget* w, const char* name, int left, int top, int width, int height) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(window.twips(left), window.twips(top), window.twips(width), window.twips(height));
    };
    m_chkPerEmployee = new QCheckBox(QStringLiteral("Eine Datei pro Mitarbeiter"), frame);
    place(m_chkPerEmployee, "chkPerEmployee", 2880, 240, 2775, 375);
    m_chkPerEmployee->setToolTip(QStringLiteral(
        "Schreibt jeden Lohnausweis in eine eigene PDF-Datei, je Firma in einen Ordner neben der Ausgabedatei."));
    m_cboEmployeePassword = new QComboBox(frame);
    place(m_cboEmployeePassword, "cboEmployeePassword", 2880, 570, 2775, 330);
    m_cboEmployeePassword->addItem(QStringLiteral("Passwort wie eingegeben"),
                                   employeePasswordKindName(EmployeePasswordKind::Fixed));
    m_cboEmployeePassword->addItem(QStringLiteral("Geburtsdatum (TTMMJJJJ)"),
                                   employeePasswordKindName(EmployeePasswordKind::Birthdate));
    m_cboEmployeePassword->addItem(QStringLiteral("AHV-Nummer (13 Ziffern)"),
                                   employeePasswordKindName(EmployeePasswordKind::Ahv));
    m_cboEmployeePassword->setToolTip(
        QStringLiteral("Das Passwort jeder Datei pro Mitarbeiter, wenn \"Datei schützen\" gewählt ist."));

    // After the password field, before the buttons.
    QWidget::setTabOrder(m_txtPDFPassword, m_chkPerEmployee);
    QWidget::setTabOrder(m_chkPerEmployee, m_cboEmployeePassword);
    QWidget::setTabOrder(m_cboEmployeePassword, window.findChild<QPushButton*>(QStringLiteral("cmdCheck")));

    // Connected after the window's own handlers, so that these run last.
    connect(m_optPDF, &QRadioButton::toggled, this, [this] { update(); });
    connect(m_chkPassword, &QCheckBox::toggled, this, [this] { update(); });
    connect(m_chkPerEmployee, &QCheckBox::toggled, this, [this] { update(); });
    connect(m_cboEmployeePassword, &QComboBox::currentIndexChanged, this, [this] { update(); });
    enableControls();
}

bool PerEmployeeControls::perEmployee() const
{
    return m_chkPerEmployee->isChecked();
}

EmployeePasswordKind PerEmployeeControls::passwordKind() const
{
    return parseEmployeePasswordKind(m_cboEmployeePassword->currentData().toString())
        .value_or(EmployeePasswordKind::Fixed);
}

bool PerEmployeeControls::passwordFieldUsed() const
{
    return m_optPDF->isChecked() && m_chkPassword->isChecked() &&
           (!perEmployee() || passwordKind() == EmployeePasswordKind::Fixed);
}

void PerEmployeeControls::load(clsRegistryHandler& store)
{
    const bool on = store.GetSettingLong(QString::fromUtf8(SettingName::PerEmployee), 0) != 0;
    m_chkPerEmployee->setChecked(on);
    const EmployeePasswordKind kind =
        parseEmployeePasswordKind(store.GetSettingString(QString::fromUtf8(SettingName::EmployeePassword)))
            .value_or(EmployeePasswordKind::None);
    if (kind != EmployeePasswordKind::None) {
        m_cboEmployeePassword->setCurrentIndex(m_cboEmployeePassword->findData(employeePasswordKindName(kind)));
        if (on)
            m_chkPassword->setChecked(true);
    }
    update();
}

void PerEmployeeControls::save(clsRegistryHandler& store) const
{
    store.SaveSettingLong(QString::fromUtf8(SettingName::PerEmployee), perEmployee() ? 1 : 0);
    if (perEmployee())
        store.SaveSettingString(
            QString::fromUtf8(SettingName::EmployeePassword),
            employeePasswordKindName(m_chkPassword->isChecked() ? passwordKind() : EmployeePasswordKind::None));
}

void PerEmployeeControls::enableControls()
{
    m_chkPerEmployee->setEnabled(m_optPDF->isChecked());
    m_cboEmployeePassword->setEnabled(m_optPDF->isChecked() && perEmployee() && m_chkPassword->isChecked());
}

void PerEmployeeControls::update()
{
    enableControls();
    // The password field follows what the run will read.
    m_window.chkPassword_Click();
}
