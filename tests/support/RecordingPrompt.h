#pragma once

#include "platform/Prompt.h"

#include <QList>
#include <QString>

// A prompt for tests: records every box and dialog and answers from its queues.
class RecordingPrompt : public Prompt
{
public:
    struct Box
    {
        QString text;
        int style;
        QString title;
    };
    struct SaveDialog
    {
        QString title;
        QString filter;
        QString initialName;
    };

    int messageBox(const QString& text, int style, const QString& title) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& initialName) override;
    bool login(const QString& dataSource, QString& user, QString& password) override;

    QList<Box> boxes;
    QList<SaveDialog> saveDialogs;
    int loginCount = 0;
    QString loginDataSource; // of the last login

    // Answers, taken from the front; when empty, message boxes answer Ok, the save dialog cancels.
    QList<int> answers;
    QList<QString> saveAnswers; // a null QString means Cancel
    QString loginUser;
    QString loginPassword;
    bool loginCancelled = false; // the dialog closed with Esc
};
