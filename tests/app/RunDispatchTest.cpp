#include "app/RunDispatch.h"

#include "AppTestEnvironment.h"
#include "app/Globals.h"
#include "app/RunSettings.h"
#include "platform/clsRegistryHandler.h"
#include "support/FakeMainWindow.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString kRunErrorTitle = QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : frmMain.runSalaryReport");

class RunDispatch : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_window.srcFile = QStringLiteral("SYSTEM");
        m_window.lib = QStringLiteral("LOVARLIB");
        m_window.toFile = tempDir() + QStringLiteral("/out.csv");
        gFrmMain = &m_window;
    }

    void writeOldLog()
    {
        QFile old(logPath());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("Protokoll des letzten Laufs\r\n");
    }

    FakeMainWindow m_window;
};

} // namespace

TEST_F(RunDispatch, WithoutOutputKindWritesAnEmptyFreshLogAndNoBox)
{
    writeOldLog();
    m_window.cursorBusy = true;

    runSalaryReport();

    EXPECT_TRUE(m_prompt.boxes.isEmpty());
    ASSERT_TRUE(QFileInfo::exists(logPath()));
    EXPECT_EQ(QFileInfo(logPath()).size(), 0);
    EXPECT_EQ(gLog, nullptr);
    EXPECT_FALSE(m_window.cursorBusy);
    EXPECT_FALSE(QFileInfo::exists(m_window.toFile));
}

TEST_F(RunDispatch, EveryOutputKindStartsWithAFreshLog)
{
    for (const bool csv : {true, false}) {
        SCOPED_TRACE(csv ? "eLohnausweis" : "PDF");
        writeOldLog();
        m_window.eLohnausweis = csv;
        m_window.pdf = !csv;
        m_window.medium = -1; // no connection can be made: the run fails early

        runSalaryReport();

        ASSERT_TRUE(QFileInfo::exists(logPath()));
        QFile log(logPath());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_FALSE(log.readAll().contains("letzten Laufs"));
        EXPECT_EQ(gLog, nullptr);
    }
}

TEST_F(RunDispatch, FailingGeneratorGivesOneBoxAndTidiesUp)
{
    for (const bool csv : {true, false}) {
        SCOPED_TRACE(csv ? "eLohnausweis" : "PDF");
        m_prompt.boxes.clear();
        m_window.eLohnausweis = csv;
        m_window.pdf = !csv;
        m_window.medium = -1;
        m_window.cursorBusy = true;
        const QString tempXml = tempDir() + QStringLiteral("/LOV1234.tmp");
        {
            QFile f(tempXml);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("<soap:Envelope/>");
        }
        gTempXmlFile = tempXml;

        runSalaryReport();

        ASSERT_EQ(m_prompt.boxes.size(), 1);
        EXPECT_EQ(m_prompt.boxes[0].title, kRunErrorTitle);
        EXPECT_EQ(m_prompt.boxes[0].style, 16);
        EXPECT_TRUE(m_prompt.boxes[0].text.startsWith(QStringLiteral("Fehlernummer: ")));
        EXPECT_FALSE(QFileInfo::exists(tempXml));
        EXPECT_EQ(gLog, nullptr);
        EXPECT_FALSE(m_window.cursorBusy);
    }
}

TEST_F(RunDispatch, MissingTemporaryFileIsNoSecondError)
{
    m_window.pdf = true;
    m_window.medium = -1;
    gTempXmlFile = tempDir() + QStringLiteral("/never-written.tmp");

    runSalaryReport();

    ASSERT_EQ(m_prompt.boxes.size(), 1);
    EXPECT_EQ(m_prompt.boxes[0].title, kRunErrorTitle);
}

TEST_F(RunDispatch, ClearsTheOverwriteFlagOfTheLastRun)
{
    gOverwriteAsked = true;
    runSalaryReport();
    EXPECT_FALSE(gOverwriteAsked);
}

TEST_F(RunDispatch, StoresTheDefaultsAfterTheFirstRun)
{
    runSalaryReport();

    clsRegistryHandler store;
    EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP")), QStringLiteral("./fop/fop"));
    EXPECT_EQ(store.GetSettingString(QStringLiteral("XSL")), QStringLiteral("./xsl/TaxAccountingForm.xsl"));
    EXPECT_EQ(store.GetSettingString(QStringLiteral("LOVARSFile")), QStringLiteral("LGHLAEXP"));
    EXPECT_EQ(gFopPath, QStringLiteral("./fop/fop"));
    EXPECT_EQ(gXslPath, QStringLiteral("./xsl/TaxAccountingForm.xsl"));
    EXPECT_EQ(gExportTable, QStringLiteral("LGHLAEXP"));
}

TEST_F(RunDispatch, OnlyTheExactMarkerNullIsReplaced)
{
    struct Case
    {
        QString stored;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("NULL"), QStringLiteral("./fop/fop")},
        {QStringLiteral("null"), QStringLiteral("null")},
        {QStringLiteral("Null"), QStringLiteral("Null")},
        {QString(), QString()},
        {QStringLiteral("/opt/fop/fop"), QStringLiteral("/opt/fop/fop")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        clsRegistryHandler store;
        store.SaveSettingString(QStringLiteral("FOP"), c.stored);

        getINITValues();

        EXPECT_EQ(gFopPath, c.expected);
        EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP"), QStringLiteral("missing")), c.expected);
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(RunDispatch, SettingsChangedBetweenRunsTakeEffect)
{
    runSalaryReport();
    clsRegistryHandler().SaveSettingString(QStringLiteral("XSL"), QStringLiteral("/srv/xsl/Form11.xsl"));

    runSalaryReport();

    EXPECT_EQ(gXslPath, QStringLiteral("/srv/xsl/Form11.xsl"));
}

TEST_F(RunDispatch, MediumIndexIsTheFirstCheckedButton)
{
    for (const int medium : {0, 1, -1}) {
        m_window.medium = medium;
        EXPECT_EQ(getMediumIndex(), medium);
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}

TEST_F(RunDispatch, MediumIndexWithoutWindowShowsItsBox)
{
    gFrmMain = nullptr;

    EXPECT_EQ(getMediumIndex(), -1);

    ASSERT_EQ(m_prompt.boxes.size(), 1);
    EXPECT_TRUE(m_prompt.boxes[0].title.endsWith(QStringLiteral(" : frmMain.getMediumIndex")));
}

TEST_F(RunDispatch, GlobalsCarryTheVersion)
{
    initGlobals();
    EXPECT_EQ(gVersion, QStringLiteral("1.9"));
    EXPECT_FALSE(gAppPath.isEmpty());
    EXPECT_FALSE(gAppPath.endsWith(u'/'));
}
