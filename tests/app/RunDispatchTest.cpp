#include "app/RunDispatch.h"

#include "app/Globals.h"
#include "platform/clsRegistryHandler.h"
#include "support/AppTestEnvironment.h"
#include "support/FakeMainWindow.h"

#include <QFile>
#include <QFileInfo>

namespace {

class RunDispatch : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_window.srcFile = QStringLiteral("SYSTEM");
        m_window.lib = QStringLiteral("LOVARLIB");
        m_window.toFile = tempDir() + QStringLiteral("/out.csv");
        m_window.medium = -1; // no connection can be made: a generator fails early
        gFrmMain = &m_window;
    }

    FakeMainWindow m_window;
};

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TEST_F(RunDispatch, EveryRunStartsAFreshLogAndTidiesUp)
{
    struct Case
    {
        const char* label;
        bool csv, pdf, tempWritten;
    };
    const Case cases[] = {
        {"no output kind", false, false, true},
        {"eLohnausweis", true, false, true},
        {"PDF", false, true, true},
        // A temporary file that was never written is no second error.
        {"PDF, no temporary file", false, true, false},
    };
    const QString tempXml = tempDir() + QStringLiteral("/LOV1234.tmp");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        m_prompt.boxes.clear();
        write(logPath(), "Protokoll des letzten Laufs\r\n");
        if (c.tempWritten)
            write(tempXml, "<soap:Envelope/>");
        gTempXmlFile = tempXml;
        gOverwriteAsked = true;
        m_window.eLohnausweis = c.csv;
        m_window.pdf = c.pdf;
        m_window.cursorBusy = true;

        runSalaryReport();

        EXPECT_FALSE(gOverwriteAsked);
        QFile log(logPath());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_FALSE(log.readAll().contains("letzten Laufs"));
        EXPECT_EQ(gLog, nullptr);
        EXPECT_FALSE(m_window.cursorBusy);
        if (!c.csv && !c.pdf) {
            // Nothing to do: an empty log, no box, no output, and the temporary file is not touched.
            EXPECT_TRUE(m_prompt.boxes.isEmpty());
            EXPECT_EQ(log.size(), 0);
            EXPECT_FALSE(QFileInfo::exists(m_window.toFile));
            EXPECT_TRUE(QFileInfo::exists(tempXml));
            continue;
        }
        ASSERT_EQ(m_prompt.boxes.size(), 1);
        EXPECT_EQ(m_prompt.boxes[0].title,
                  QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : frmMain.runSalaryReport"));
        EXPECT_EQ(m_prompt.boxes[0].style, 16);
        EXPECT_TRUE(m_prompt.boxes[0].text.startsWith(QStringLiteral("Fehlernummer: ")));
        EXPECT_FALSE(QFileInfo::exists(tempXml));
    }
}

TEST_F(RunDispatch, DefaultsReplaceOnlyAMissingValueOrTheExactMarkerNull)
{
    runSalaryReport();
    clsRegistryHandler store;
    EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP")), QStringLiteral("./fop/fop"));
    EXPECT_EQ(store.GetSettingString(QStringLiteral("XSL")), QStringLiteral("./xsl/TaxAccountingForm.xsl"));
    EXPECT_EQ(store.GetSettingString(QStringLiteral("LOVARSFile")), QStringLiteral("LGHLAEXP"));
    EXPECT_EQ(gXslPath, QStringLiteral("./xsl/TaxAccountingForm.xsl"));
    EXPECT_EQ(gExportTable, QStringLiteral("LGHLAEXP"));

    // Read afresh at every run: a change in the store takes effect without a restart.
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("NULL"), QStringLiteral("./fop/fop")},
        {QStringLiteral("null"), QStringLiteral("null")},
        {QStringLiteral("Null"), QStringLiteral("Null")},
        {QString(), QString()},
        {QStringLiteral("/opt/fop/fop"), QStringLiteral("/opt/fop/fop")},
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored.toStdString());
        store.SaveSettingString(QStringLiteral("FOP"), stored);
        runSalaryReport();
        EXPECT_EQ(gFopPath, expected);
        EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP"), QStringLiteral("missing")), expected);
    }
    EXPECT_TRUE(m_prompt.boxes.isEmpty());
}
