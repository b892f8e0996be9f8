#include "app/frmLogin.h"

#include "app/PasswordStarStyle.h"
#include "app/WindowMetrics.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmLogin::frmLogin(const QString& dataSource, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLogin"));
    m_dpi = logicalDpi(this);
    setWindowTitle(dataSource.isEmpty() ? QStringLiteral("Anmelden") : QStringLiteral("Anmelden – ") + dataSource);
    setFont(dialogFont(font()));
    setFixedSize(twips(3375), twips(1470));

    const auto place = [this](QWidget* w, const char* name, int left, int top, int width, int height) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(twips(left), twips(top), twips(width), twips(height));
    };
    auto* lbl = new QLabel(QStringLiteral("Benutzer"), this);
    place(lbl, "lbl", 120, 120, 1335, 255);
    m_txtUser = new QLineEdit(this);
    place(m_txtUser, "txtUser", 1680, 120, 1575, 285);
    auto* lblPWD = new QLabel(QStringLiteral("Passwort"), this);
    place(lblPWD, "lblPWD", 120, 480, 1215, 255);
    m_txtPwd = new QLineEdit(this);
    place(m_txtPwd, "txtPwd", 1680, 480, 1575, 285);
    PasswordStarStyle::apply(m_txtPwd);
    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    place(m_cmdOK, "cmdOK", 2280, 960, 975, 375);
    m_cmdOK->setDefault(true);

    setTabOrder(m_txtUser, m_txtPwd);
    setTabOrder(m_txtPwd, m_cmdOK);
    m_txtUser->setFocus();

    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
}

int frmLogin::twips(int value) const
{
    return twipsToPixels(value, m_dpi);
}

QString frmLogin::txtUser() const
{
    return m_txtUser->text();
}

QString frmLogin::txtPwd() const
{
    return m_txtPwd->text();
}

void frmLogin::cmdOK_Click()
{
    accept();
}

QPoint frmLogin::centredPosition(const QRect& ownerOuter, const QSize& dialogOuter)
{
    return {qRound(ownerOuter.left() + ownerOuter.width() / 2.0 - dialogOuter.width() / 2.0),
            qRound(ownerOuter.top() + ownerOuter.height() / 2.0 - dialogOuter.height() / 2.0)};
}
