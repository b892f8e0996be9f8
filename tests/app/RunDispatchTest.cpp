#include "app/RunDispatch.h"

#include "app/Globals.h"
#include "app/RunSettings.h"
#include "platform/clsRegistryHandler.h"
#include "report/FormatterSettings.h"
#include "support/AppTestEnvironment.h"
#include "support/FakeMainWindow.h"
#include "support/OtherUser.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <tuple>

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
        EXPECT_EQ(log.permissions() & 0x0fff, QFile::ReadUser | QFile::WriteUser); // owner-only
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

TEST_F(RunDispatch, LogGoesAroundAnythingForeignAtItsName)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "planting another user's files needs root";
    const QString privateFolder = tempDir() + QStringLiteral("/lohnausweis-%1").arg(::geteuid());
    const QByteArray name = QFile::encodeName(logPath());
    // In a shared folder such as /tmp another user's FIFO, file or link at the log's name; with the
    // link also a link at the private folder's name.
    const std::function<void()> plants[] = {[&] { ::mkfifo(name.constData(), 0666); },
                                            [&] { write(logPath(), "fremd"); },
                                            [&] {
                                                QFile::link(tempDir() + QStringLiteral("/elsewhere"), logPath());
                                                QFile::link(tempDir(), privateFolder);
                                            }};
    for (const auto& plant : plants) {
        QDir(tempDir()).removeRecursively();
        QDir().mkpath(tempDir());
        ::chmod(QFile::encodeName(tempDir()).constData(), 01777);
        plant();
        ::lchown(name.constData(), kOtherUid, kOtherGid);
        const auto identity = [&] {
            struct stat st
            {
            };
            ::lstat(name.constData(), &st);
            return std::tuple(st.st_mode, st.st_uid, st.st_size);
        };
        const auto before = identity();

        runSalaryReport();

        EXPECT_TRUE(m_prompt.boxes.isEmpty()) << qPrintable(m_prompt.boxes.value(0).text);
        EXPECT_EQ(identity(), before);
        EXPECT_FALSE(QFileInfo::exists(tempDir() + QStringLiteral("/elsewhere")));
        QStringList logs;
        for (QDirIterator it(tempDir(), {QStringLiteral("LOVARSLog.txt")}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext();) {
            if (const QString found = it.next(); found != logPath())
                logs.append(found);
        }
        ASSERT_EQ(logs.size(), 1);
        EXPECT_TRUE(logs[0].startsWith(privateFolder)) << qPrintable(logs[0]);
        EXPECT_EQ(QFileInfo(logs[0]).permissions() & 0x0fff, QFile::ReadUser | QFile::WriteUser);
        QFile log(logs[0]);
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_TRUE(log.readAll().contains("ist keine eigene Datei"));
    }
}

// A run never deletes the log of a run still under way (it holds a lock on it): it writes its own beside.
TEST_F(RunDispatch, ALogInUseIsLeftToItsRun)
{
    write(logPath(), "Protokoll des anderen Laufs");
    QFile other(logPath());
    ASSERT_TRUE(other.open(QIODevice::ReadOnly) && ::flock(other.handle(), LOCK_EX) == 0);
    runSalaryReport();
    runSalaryReport();
    EXPECT_EQ(readBytes(logPath()), QByteArray("Protokoll des anderen Laufs"));
    EXPECT_EQ(QDir(tempDir()).entryList({QStringLiteral("LOVARSLog*")}),
              (QStringList{"LOVARSLog-2.txt", "LOVARSLog.txt"}));
    other.close();
    runSalaryReport();
    EXPECT_EQ(readBytes(logPath()), QByteArray());
}

TEST_F(RunDispatch, LoginClosedWithoutOkEndsTheRunQuietly)
{
    m_window.medium = 0;
    m_prompt.loginCancelled = true;
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("XSL"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    for (const bool pdf : {false, true}) {
        SCOPED_TRACE(pdf);
        m_window.pdf = pdf;
        m_window.eLohnausweis = !pdf;
        runSalaryReport();
        // No connection was tried: it would have shown the reader's box for the unknown source.
        EXPECT_TRUE(m_prompt.boxes.isEmpty()) << qPrintable(m_prompt.boxes.value(0).text);
        EXPECT_FALSE(QFileInfo::exists(m_window.toFile));
    }
    EXPECT_EQ(m_prompt.loginCount, 2);
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

// The number settings of a run: DbTimeout 0 is no limit, FopTimeout and FopJobs may be texts, and what
// cannot be used as given is said in the run log.
TEST_F(RunDispatch, NumberSettingsKeepTheirMeaningAndLimits)
{
    clsRegistryHandler store;
    EXPECT_EQ(dbTimeoutSeconds(), 300);
    EXPECT_EQ(formatterTimeLimitSeconds(), 900);
    const struct
    {
        const char* name;
        qint32 stored;
        int expected;
    } numbers[] = {{"DbTimeout", 0, 0}, {"DbTimeout", -4, 300}, {"FopTimeout", 0, 900}, {"FopTimeout", 45, 45}};
    for (const auto& c : numbers) {
        store.SaveSettingLong(QString::fromLatin1(c.name), c.stored);
        EXPECT_EQ(QByteArray(c.name) == "DbTimeout" ? dbTimeoutSeconds() : formatterTimeLimitSeconds(), c.expected)
            << c.name << ' ' << c.stored;
    }
    store.SaveSettingString(QStringLiteral("FopTimeout"), QStringLiteral(" 60 "));
    EXPECT_EQ(formatterTimeLimitSeconds(), 60);

    const int cores = QThread::idealThreadCount();
    const struct
    {
        QString text;
        const char* note;
    } jobs[] = {{QStringLiteral("1"), ""},
                {QStringLiteral("vier"), "Die Einstellung FopJobs ('vier') ist keine Zahl und wird übergangen."},
                {QStringLiteral("99999"), "Die Einstellung FopJobs (99999) ist mehr als doppelt so gross"}};
    for (const auto& c : jobs) {
        store.SaveSettingString(QStringLiteral("FopJobs"), c.text);
        QStringList notes;
        const int count = formatterJobCount(notes);
        EXPECT_TRUE(c.text == QLatin1String("1") ? count == 1 : count >= 1 && count <= 2 * cores) << count;
        EXPECT_EQ(notes.value(0).left(int(std::strlen(c.note))), QString::fromUtf8(c.note));
    }
}
