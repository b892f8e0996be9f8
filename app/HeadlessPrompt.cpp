#include "app/HeadlessPrompt.h"

#include "platform/AppIdentity.h"

#include <QStringList>

HeadlessPrompt::HeadlessPrompt(std::FILE* out, bool terminal, Answers answers)
    : m_out(out)
    , m_terminal(terminal)
    , m_answers(std::move(answers))
{
}

void HeadlessPrompt::write(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), m_out);
    std::fflush(m_out);
}

int HeadlessPrompt::messageBox(const QString& text, int style, const QString& title)
{
    endProgress();
    QString body = text;
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    write(title + u'\n' + body + QStringLiteral("\n\n"));

    const int icon = style & MsgStyle::IconMask;
    if (icon == MsgStyle::Critical || icon == MsgStyle::Exclamation)
        m_failureShown = true;
    if ((style & MsgStyle::ButtonMask) == MsgStyle::YesNo)
        return m_answers.yes ? MsgAnswer::Yes : MsgAnswer::No;
    if ((style & MsgStyle::ButtonMask) != MsgStyle::OkCancel)
        return MsgAnswer::Ok;
    if (m_answers.yes)
        return MsgAnswer::Ok;
    m_cancelled = true;
    return MsgAnswer::Cancel;
}

QString HeadlessPrompt::saveFileName(const QString&, const QString&, const QString& initialName)
{
    return initialName;
}

bool HeadlessPrompt::login(const QString&, QString& user, QString& password)
{
    user = m_answers.user;
    password = m_answers.password;
    return true;
}

bool HeadlessPrompt::writeDespiteCheckErrors(const QString& summary, const QStringList& findings)
{
    endProgress();
    write(appTitle() + u'\n' + summary + u'\n' + findings.join(u'\n') + u'\n' +
          (m_answers.ignoreCheckErrors
               ? QStringLiteral("Die Dateien werden trotzdem geschrieben (--ignore-check-errors).\n\n")
               : QStringLiteral("Es wird nichts geschrieben. Trotzdem schreiben: --ignore-check-errors; alle "
                                "Befunde: --check.\n\n")));
    if (!m_answers.ignoreCheckErrors)
        m_failureShown = true;
    return m_answers.ignoreCheckErrors;
}

void HeadlessPrompt::progress(const QString& text)
{
    if (!m_terminal)
        return;
    if (text.isEmpty()) {
        endProgress();
        return;
    }
    // Blanks over the rest of a longer earlier text.
    const qsizetype pad = qMax<qsizetype>(0, m_progressWidth - text.size());
    write(u'\r' + text + QString(pad, u' '));
    m_progressWidth = text.size();
}

void HeadlessPrompt::endProgress()
{
    if (!m_terminal || m_progressWidth == 0)
        return;
    write(u'\r' + QString(m_progressWidth, u' ') + u'\r');
    m_progressWidth = 0;
}
