#pragma once

#include <QProxyStyle>

// Shows each character of a password field as "*", as payroll staff know it, instead of the
// platform's bullet.
class PasswordStarStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint,
                  const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

    // Puts `edit` into password mode with this style; the style object belongs to the edit.
    static void apply(class QLineEdit* edit);
};
