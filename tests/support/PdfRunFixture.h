#pragma once

// Fixture of the PDF run tests (tests/report/crtXMLDataTest.cpp).

#include "app/Globals.h"
#include "platform/LaError.h"
#include "platform/clsFSConnect.h"
#include "platform/clsRegistryHandler.h"
#include "report/crtXMLData.h"
#include "support/CheckBeforeRunSetting.h"
#include "support/FakeMainWindow.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/ReportFixtures.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(content), content.size());
}

inline QStringList personNames(int first, int last)
{
    QStringList names;
    for (int i = first; i <= last; ++i)
        names.append(QStringLiteral("Person %1").arg(i, 5, 10, QLatin1Char('0')));
    return names;
}

// One PDF run against a SQLite payroll file, with the test formatter (tests/data/fake-fop.sh), which
// records its arguments and writes the document as a "PDF" to the PDF name, and a temporary directory of its own.
class PdfRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(work.isValid());
        outDir = work.filePath(QStringLiteral("out"));
        tempDir = work.filePath(QStringLiteral("tmp"));
        ASSERT_TRUE(QDir().mkpath(outDir) && QDir().mkpath(tempDir));
        argvFile = work.filePath(QStringLiteral("argv"));
        logFile = work.filePath(QStringLiteral("LOVARSLog.txt"));
        previousTmp = qgetenv("TMPDIR");
        previousConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toLocal8Bit());
        // One formatter call after the other unless a test asks for more.
        setFopJobs(1);
        setCheckBeforeRun(false);
        qputenv("TMPDIR", tempDir.toLocal8Bit());
        qputenv("FAKE_FOP_ARGV", argvFile.toLocal8Bit());
        unsetFailure();

        PayrollTables::createExportTable(db);
        window.srcFile = db.path();
        window.lib = db.library();
        window.toFile = out(QStringLiteral("LA.pdf"));
        window.pdf = true;
        gFrmMain = &window;
        gFopPath = QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh");
        gXslPath = work.filePath(QStringLiteral("form.xsl")); // the formatter's path check wants a file
        writeFile(gXslPath, "<xsl/>");
        gOverwriteAsked = false;
        gTempXmlFile.clear();
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logFile, 0);
    }

    void TearDown() override
    {
        gFrmMain = nullptr;
        gLog.reset();
        gTempXmlFile.clear();
        if (previousTmp.isNull())
            qunsetenv("TMPDIR");
        else
            qputenv("TMPDIR", previousTmp);
        qunsetenv("FAKE_FOP_ARGV");
        unsetFailure();
        if (previousConfig.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", previousConfig);
    }

    static void unsetFailure()
    {
        for (const char* name : {"FAKE_FOP_FAIL", "FAKE_FOP_FAIL_ON", "FAKE_FOP_SLEEP", "FAKE_FOP_SLEEP_ON"})
            qunsetenv(name);
    }

    static void setFopJobs(int jobs) { clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), jobs); }

    void insertCompany(const QString& company, int first, int count)
    {
        QList<ExportRowValues> rows;
        for (int i = first; i < first + count; ++i)
            rows.append(employeeRow(company, i));
        insertExportRows(db, rows);
    }

    QString out(const QString& name) const { return outDir + u'/' + name; }
    QStringList outputFiles() const { return QDir(outDir).entryList(QDir::Files, QDir::Name); }
    QStringList temporaryFiles() const { return QDir(tempDir).entryList(QDir::Files | QDir::Hidden); }

    // The argument lists of all formatter calls, in order.
    QList<QStringList> formatterCalls() const
    {
        QList<QStringList> calls;
        for (const QString& call : QString::fromUtf8(readAll(argvFile)).split(QStringLiteral("--end--") + QChar(0)))
            if (!call.isEmpty())
                calls.append(call.chopped(1).split(QChar(0))); // each argument ends in NUL
        return calls;
    }

    QString logText()
    {
        gLog.reset();
        return QString::fromLatin1(readAll(logFile));
    }

    // The staff names a "PDF" of the test formatter holds.
    QStringList staffNames(const QString& pdf) const
    {
        QStringList names;
        const QString doc = QString::fromUtf8(readAll(pdf));
        const QString open = QStringLiteral("</ns2:Social-InsuranceIdentification>\r\n<ns2:Name>");
        for (qsizetype at = doc.indexOf(open); at >= 0; at = doc.indexOf(open, at + 1)) {
            const qsizetype start = at + open.size();
            names.append(doc.mid(start, doc.indexOf(u'<', start) - start));
        }
        return names;
    }

    LaError runExpectingError()
    {
        try {
            crtXMLData();
        } catch (const LaError& e) {
            return e;
        }
        ADD_FAILURE() << "the run ended without an error";
        return LaError(0, {}, {});
    }

    QTemporaryDir work;
    QString outDir;
    QString tempDir;
    QString argvFile;
    QString logFile;
    QByteArray previousTmp;
    QByteArray previousConfig;
    SqliteTestDatabase db;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt scopedPrompt{prompt};
};
