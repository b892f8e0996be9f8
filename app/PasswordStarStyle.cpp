#include "app/PasswordStarStyle.h"

#include <QLineEdit>

int PasswordStarStyle::styleHint(StyleHint hint,
                                 const QStyleOption* option,
                                 const QWidget* widget,
                                 QStyleHintReturn* returnData) const
{
    if (hint == SH_LineEdit_PasswordCharacter)
        return u'*';
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void PasswordStarStyle::apply(QLineEdit* edit)
{
    auto* style = new PasswordStarStyle();
    style->setParent(edit);
    edit->setStyle(style);
    edit->setEchoMode(QLineEdit::Password);
}
