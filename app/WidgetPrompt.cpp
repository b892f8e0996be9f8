#include "app/WidgetPrompt.h"

#include "app/frmLogin.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

QMessageBox::Icon iconFor(int style)
{
    switch (style & MsgStyle::IconMask) {
    case MsgStyle::Critical:
        return QMessageBox::Critical;
    case MsgStyle::Question:
        return QMessageBox::Question;
    case MsgStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

WidgetPrompt::WidgetPrompt(QWidget* owner)
    : m_owner(owner)
{
}

int WidgetPrompt::messageBox(const QString& text, int style, const QString& title)
{
    const int buttons = style & MsgStyle::ButtonMask;
    const bool okCancel = buttons == MsgStyle::OkCancel;
    const bool yesNo = buttons == MsgStyle::YesNo;
    QMessageBox box(iconFor(style),
                    title,
                    QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                    yesNo      ? QMessageBox::Yes | QMessageBox::No
                    : okCancel ? QMessageBox::Ok | QMessageBox::Cancel
                               : QMessageBox::Ok,
                    m_owner);
    // Texts carry file names and database messages: never interpret them as markup.
    box.setTextFormat(Qt::PlainText);
    if (yesNo) {
        // A question that ends something is answered Yes only on purpose.
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(okCancel ? QMessageBox::Cancel : QMessageBox::Ok);
    return box.exec() == QMessageBox::Cancel ? MsgAnswer::Cancel : MsgAnswer::Ok;
}

QString WidgetPrompt::saveFileName(const QString& title, const QString& filter, const QString& initialName)
{
    QFileDialog dialog(m_owner, title);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!filter.isEmpty())
        dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return initialName;
    return dialog.selectedFiles().constFirst();
}

bool WidgetPrompt::login(const QString& dataSource, QString& user, QString& password)
{
    frmLogin dialog(dataSource, m_owner);
    if (m_owner) {
        // Outer sizes: the dialog is not framed yet, so it gets the owner's frame margins.
        const QRect owner = m_owner->window()->frameGeometry();
        const QSize margins = owner.size() - m_owner->window()->size();
        dialog.move(frmLogin::centredPosition(owner, dialog.size() + margins));
    }
    // Esc and the close button reject the dialog: what was typed so far is no login.
    if (dialog.exec() != QDialog::Accepted)
        return false;
    user = dialog.txtUser();
    password = dialog.txtPwd();
    return true;
}
