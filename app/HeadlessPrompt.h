#pragma once

#include "platform/Prompt.h"

#include <QString>
#include <cstdio>

// The prompt of the headless run: every box goes to `out` (title, text, empty line), questions are
// answered from the command line, and a progress line shows the status texts on a terminal.
class HeadlessPrompt : public Prompt
{
public:
    struct Answers
    {
        bool yes = false; // OK to questions with OK and Cancel, otherwise Cancel
        QString user;
        QString password;
        bool ignoreCheckErrors = false; // write although the check before the run found errors
    };

    HeadlessPrompt(std::FILE* out, bool terminal, Answers answers);

    int messageBox(const QString& text, int style, const QString& title) override;
    QString saveFileName(const QString& title, const QString& filter, const QString& initialName) override;
    bool login(const QString& dataSource, QString& user, QString& password) override;
    // Every error found, one per line; stops the run (a failure) unless errors are to be ignored.
    bool writeDespiteCheckErrors(const QString& summary, const QStringList& findings) override;

    // Shows `text` as the progress line (terminal only); an empty text clears it.
    void progress(const QString& text);
    // Leaves the terminal line clean.
    void endProgress();

    // A box with the critical-stop or the exclamation icon was shown.
    bool failureShown() const { return m_failureShown; }
    // A question was answered with Cancel, so the run stopped before its end.
    bool cancelled() const { return m_cancelled; }

private:
    void write(const QString& text);

    std::FILE* m_out;
    bool m_terminal;
    Answers m_answers;
    qsizetype m_progressWidth = 0;
    bool m_failureShown = false;
    bool m_cancelled = false;
};
