#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The login dialog for an ODBC connection: user and password, one OK button. The caption names the
// data source, so that a clerk with several knows which password is asked for.
class frmLogin : public QDialog
{
    Q_OBJECT

public:
    explicit frmLogin(const QString& dataSource = {}, QWidget* parent = nullptr);

    QString txtUser() const;
    QString txtPwd() const;

    void cmdOK_Click();

    // Where a dialog of outer size `dialogOuter` stands when centred over a window whose outer
    // frame is `ownerOuter`.
    static QPoint centredPosition(const QRect& ownerOuter, const QSize& dialogOuter);

private:
    int twips(int value) const;

    QLineEdit* m_txtUser = nullptr;
    QLineEdit* m_txtPwd = nullptr;
    QPushButton* m_cmdOK = nullptr;
    double m_dpi = 96.0;
};
