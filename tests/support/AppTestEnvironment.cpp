#include "support/AppTestEnvironment.h"

#include "app/Globals.h"
#include "platform/clsFSConnect.h"

namespace {

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
    resetGlobals();
    ASSERT_TRUE(m_root.isValid());
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("config")));
    ASSERT_TRUE(QDir(m_root.path()).mkpath(QStringLiteral("tmp")));
}

void AppTest::TearDown()
{
    resetGlobals();
}
