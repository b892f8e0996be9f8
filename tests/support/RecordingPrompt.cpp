#include "support/RecordingPrompt.h"

int RecordingPrompt::messageBox(const QString& text, int style, const QString& title)
{
    boxes.append({text, style, title});
    return answers.isEmpty() ? MsgAnswer::Ok : answers.takeFirst();
}

QString RecordingPrompt::saveFileName(const QString& title, const QString& filter, const QString& initialName)
{
    saveDialogs.append({title, filter, initialName});
    if (saveAnswers.isEmpty())
        return initialName;
    const QString answer = saveAnswers.takeFirst();
    return answer.isNull() ? initialName : answer;
}

bool RecordingPrompt::login(const QString& dataSource, QString& user, QString& password)
{
    ++loginCount;
    loginDataSource = dataSource;
    user = loginUser;
    password = loginPassword;
    return !loginCancelled;
}
