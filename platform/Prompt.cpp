#include "platform/Prompt.h"

#include "platform/AppIdentity.h"

#include <QStringList>
#include <cstdio>

namespace {

class StderrPrompt final : public Prompt
{
public:
    int messageBox(const QString& text, int, const QString& title) override
    {
        std::fprintf(stderr, "%s\n%s\n\n", qPrintable(title), qPrintable(text));
        return MsgAnswer::Cancel;
    }
    QString saveFileName(const QString&, const QString&, const QString& initialName) override { return initialName; }
    bool login(const QString&, QString& user, QString& password) override
    {
        user.clear();
        password.clear();
        return true;
    }
};

Prompt* g_current = nullptr;

} // namespace

Prompt::~Prompt() = default;

bool Prompt::writeDespiteCheckErrors(const QString& summary, const QStringList& findings)
{
    constexpr qsizetype kShown = 10;
    QString text = summary + QStringLiteral("\r\n\r\n") + findings.mid(0, kShown).join(QStringLiteral("\r\n"));
    if (findings.size() > kShown)
        text += QStringLiteral("\r\n… und %1 weitere").arg(findings.size() - kShown);
    text += QStringLiteral("\r\n\r\nSollen die Dateien trotzdem geschrieben werden?");
    return messageBox(text, MsgStyle::YesNo | MsgStyle::Exclamation, appTitle()) == MsgAnswer::Yes;
}

Prompt& prompt()
{
    static StderrPrompt fallback;
    return g_current ? *g_current : fallback;
}

ScopedPrompt::ScopedPrompt(Prompt& p)
    : m_previous(g_current)
{
    g_current = &p;
}

ScopedPrompt::~ScopedPrompt()
{
    g_current = m_previous;
}
