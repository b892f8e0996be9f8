#include "AppTestEnvironment.h"

#include "app/Globals.h"
#include "platform/clsFSConnect.h"

#include <QDir>

namespace {

void restore(const char* name, bool had, const QByteArray& value)
{
    if (had)
        qputenv(name, value);
    else
        qunsetenv(name);
}

} // namespace

void AppTest::SetUp()
{
    ASSERT_TRUE(m_root.isValid());
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("config")));
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("tmp")));
    m_hadXdg = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_oldXdg = qgetenv("XDG_CONFIG_HOME");
    m_hadTmp = qEnvironmentVariableIsSet("TMPDIR");
    m_oldTmp = qgetenv("TMPDIR");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir()));
    qputenv("TMPDIR", QFile::encodeName(tempDir()));
    m_scoped = std::make_unique<ScopedPrompt>(m_prompt);
    gFrmMain = nullptr;
    gLog.reset();
    gTempXmlFile.clear();
    gOverwriteAsked = false;
}

void AppTest::TearDown()
{
    m_scoped.reset();
    gFrmMain = nullptr;
    gLog.reset();
    gTempXmlFile.clear();
    restore("XDG_CONFIG_HOME", m_hadXdg, m_oldXdg);
    restore("TMPDIR", m_hadTmp, m_oldTmp);
}

QString AppTest::tempDir() const
{
    return m_root.path() + QStringLiteral("/tmp");
}

QString AppTest::logPath() const
{
    return tempDir() + QStringLiteral("/LOVARSLog.txt");
}

QString AppTest::configDir() const
{
    return m_root.path() + QStringLiteral("/config");
}
