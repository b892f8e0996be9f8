#pragma once

// Fixture of the tests with the real formatter (tests/report/FopRenderingTest.cpp): the tools that
// run it and read the PDFs back.

#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/clsFSConnect.h"
#include "report/crtXMLData.h"
#include "support/CheckBeforeRunSetting.h"
#include "support/FakeMainWindow.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/ReportFixtures.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointF>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

// Standard and error output together, as the program's run log gets them.
inline ToolResult runTool(const QString& program,
                          const QStringList& arguments,
                          const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        return {-1, QStringLiteral("%1 did not run to its end: %2").arg(program, process.errorString())};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

// The copy beside the program is what a run uses; the source tree serves when it has not been built.
inline QString runtimeFile(const QString& relative)
{
    const QString built = QStringLiteral(LA_BINARY_DIR "/") + relative;
    return QFileInfo::exists(built) ? built : QStringLiteral(LA_SOURCE_DIR "/") + relative;
}

inline QStringList pageRange(int page)
{
    return {"-enc", "UTF-8", "-f", QString::number(page), "-l", QString::number(page)};
}

// Box of a word on a page, in points from the top left corner; nullopt when the word is missing.
inline std::optional<QRectF> wordBox(const QString& pdf, int page, const QString& word)
{
    const QString html = runTool(QStringLiteral("pdftotext"),
                                 QStringList{QStringLiteral("-bbox")} + pageRange(page) + QStringList{pdf, "-"})
                             .output;
    const QRegularExpression pattern(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>"));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(5);
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (text == word)
            return QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                          QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()));
    }
    return std::nullopt;
}

inline std::optional<QPointF> wordPosition(const QString& pdf, int page, const QString& word)
{
    const std::optional<QRectF> box = wordBox(pdf, page, word);
    return box ? std::optional<QPointF>(box->topLeft()) : std::nullopt;
}

// The PDF's outline as qpdf reads it back: one line per entry, indented by two blanks per level,
// "title -> page".
inline QStringList outline(const QString& pdf)
{
    const ToolResult json =
        runTool(QStringLiteral("qpdf"), {QStringLiteral("--json"), QStringLiteral("--json-key=outlines"), pdf});
    QStringList lines;
    const std::function<void(const QJsonArray&, int)> walk = [&](const QJsonArray& entries, int depth) {
        for (const QJsonValue& entry : entries) {
            const QJsonObject o = entry.toObject();
            lines << QString(depth * 2, u' ') + o.value(QStringLiteral("title")).toString() + QStringLiteral(" -> ") +
                         QString::number(o.value(QStringLiteral("destpageposfrom1")).toInt());
            walk(o.value(QStringLiteral("kids")).toArray(), depth + 1);
        }
    };
    walk(QJsonDocument::fromJson(json.output.toUtf8()).object().value(QStringLiteral("outlines")).toArray(), 0);
    return lines;
}

class RealFop : public ::testing::Test
{
protected:
    // The launcher keeps its class-data archive in the user's cache folder: here one for the runs of
    // this suite, so that the first run makes it and the later ones render with it. It uses a cache
    // only where every folder up is ours or root's, so not under /tmp.
    static void SetUpTestSuite()
    {
        cache = new QTemporaryDir(QStringLiteral(LA_BINARY_DIR "/fop-cache-XXXXXX"));
        qputenv("XDG_CACHE_HOME", cache->path().toLocal8Bit());
    }
    static void TearDownTestSuite()
    {
        qunsetenv("XDG_CACHE_HOME");
        delete cache;
    }
    static inline QTemporaryDir* cache = nullptr;

    void SetUp() override
    {
        QStringList missing;
        for (const char* tool : {"fop", "java", "pdfinfo", "pdftotext", "pdffonts", "qpdf"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                missing << QString::fromLatin1(tool);
        if (!missing.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << "Programme fehlen: " << missing.join(u' ').toStdString();
            GTEST_SKIP() << "Programme fehlen (Pakete fop, poppler-utils, qpdf): " << missing.join(u' ').toStdString();
        }
        ASSERT_TRUE(dir.isValid());
    }

    // A PDF run of the program over `rows`, with the run log kept in the test's folder; returns the log.
    // `configure` sets further choices of the window and the settings store before the run.
    QString runProgram(const QList<ExportRowValues>& rows,
                       const QString& pdf,
                       const QString& password = {},
                       const std::function<void(FakeMainWindow&)>& configure = {})
    {
        SqliteTestDatabase db;
        PayrollTables::createExportTable(db);
        insertExportRows(db, rows);
        FakeMainWindow window;
        window.srcFile = db.path();
        window.lib = db.library();
        window.toFile = pdf;
        window.pdf = true;
        window.passwordChecked = !password.isEmpty();
        window.password = password;
        RecordingPrompt prompt;
        ScopedPrompt scoped(prompt);
        const ScopedEnv store("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")));
        setCheckBeforeRun(false);
        if (configure)
            configure(window);
        gFrmMain = &window;
        gFopPath = runtimeFile(QStringLiteral("fop/fop"));
        gXslPath = runtimeFile(QStringLiteral("xsl/TaxAccountingForm.xsl"));
        gOverwriteAsked = false;
        const QString logFile = dir.filePath(QStringLiteral("LOVARSLog.txt"));
        gLog = std::make_unique<clsFSConnect>();
        gLog->init(logFile, 0);
        try {
            crtXMLData();
        } catch (const LaError& e) {
            ADD_FAILURE() << e.number() << " " << e.description().toStdString();
        }
        gFrmMain = nullptr; // the window dies with this call
        gLog.reset();
        boxTexts.clear();
        for (const RecordingPrompt::Box& box : std::as_const(prompt.boxes))
            boxTexts << box.text;
        if (!boxesExpected) {
            EXPECT_TRUE(prompt.boxes.isEmpty()) << prompt.boxes.value(0).text.toStdString();
        }
        return QString::fromLatin1(readBytes(logFile));
    }

    // An archive PDF: PDF/A-2b in its XMP metadata, tagged, in Swiss German, every font embedded.
    static void expectArchivePdf(const QString& pdf)
    {
        const QString meta = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf}).output;
        EXPECT_TRUE(meta.contains(QStringLiteral("<pdfaid:part>2</pdfaid:part>"))) << meta.toStdString();
        EXPECT_TRUE(meta.contains(QStringLiteral("<pdfaid:conformance>B</pdfaid:conformance>")));
        EXPECT_TRUE(runTool(QStringLiteral("pdfinfo"), {pdf}).output.contains(QStringLiteral("Tagged:          yes")));
        EXPECT_TRUE(readBytes(pdf).contains("/Lang (de-CH)"));
        // Dublin Core as XMP types it: the title a language alternative, the creator an ordered list.
        EXPECT_TRUE(meta.contains(QRegularExpression(
            QStringLiteral("<dc:title>\\s*<rdf:Alt>\\s*<rdf:li xml:lang=\"x-default\">Lohnausweise "))))
            << meta.toStdString();
        EXPECT_TRUE(meta.contains(QRegularExpression(QStringLiteral("<dc:creator>\\s*<rdf:Seq>\\s*<rdf:li>"))));
        const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf}).output;
        EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans"))) << fonts.toStdString();
        EXPECT_FALSE(fonts.contains(QRegularExpression(QStringLiteral("\\sno\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"),
                                                       QRegularExpression::MultilineOption)))
            << fonts.toStdString();
    }

    QTemporaryDir dir;
    bool boxesExpected = false; // the run may show boxes; they are kept in boxTexts
    QStringList boxTexts;
};
