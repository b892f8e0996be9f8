#include "support/AppTestEnvironment.h"

#include "app/Globals.h"
#include "platform/clsFSConnect.h"

#include <QDir>

namespace {

std::optional<QByteArray> replaceVariable(const char* name, const QString& value)
{
    std::optional<QByteArray> old;
    if (qEnvironmentVariableIsSet(name))
        old = qgetenv(name);
    qputenv(name, QFile::encodeName(value));
    return old;
}

void restoreVariable(const char* name, const std::optional<QByteArray>& old)
{
    if (old)
        qputenv(name, *old);
    else
        qunsetenv(name);
}

void resetGlobals()
{
    gFrmMain = nullptr;
    gLog.reset();
    gTempXmlFile.clear();
    gOverwriteAsked = false;
}

} // namespace

void AppTest::SetUp()
{
    // Replaced first, so that TearDown restores them whatever fails below.
    m_oldXdg = replaceVariable("XDG_CONFIG_HOME", m_root.path() + QStringLiteral("/config"));
    m_oldTmp = replaceVariable("TMPDIR", tempDir());
    m_scoped = std::make_unique<ScopedPrompt>(m_prompt);
    resetGlobals();
    ASSERT_TRUE(m_root.isValid());
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("config")));
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("tmp")));
}

void AppTest::TearDown()
{
    m_scoped.reset();
    resetGlobals();
    restoreVariable("XDG_CONFIG_HOME", m_oldXdg);
    restoreVariable("TMPDIR", m_oldTmp);
}
