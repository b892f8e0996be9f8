#pragma once

#include "platform/Prompt.h"

#include <QPointer>
#include <QWidget>

// The prompt of the interactive program: real message boxes, file dialog and login dialog,
// modal over `owner`.
class WidgetPrompt : public Prompt
{
public:
    explicit WidgetPrompt(QWidget* owner);

    int messageBox(const QString& text, int style, const QString& title) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& initialName) override;
    bool login(const QString& dataSource, QString& user, QString& password) override;

private:
    QPointer<QWidget> m_owner;
};
