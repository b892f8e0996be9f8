#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/clsFSConnect.h"
#include "report/ReportFixtures.h"
#include "report/crtXMLData.h"
#include "support/FakeMainWindow.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

ToolResult runTool(const QString& program, const QStringList& arguments)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForStarted() || !p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAll())};
}

// Text of the PDF with the separators that a layout may put into numbers (blanks, apostrophes) gone,
// so that an amount can be found whatever its printed grouping.
QString compact(const QString& text)
{
    QString s = text;
    s.remove(QRegularExpression(QStringLiteral("[\\s'\\x{2019}\\x{2009}\\x{202F}]")));
    return s;
}

} // namespace

// The whole chain with the real formatter: the program's launcher and style sheet render certificates
// that a PDF reader can open and that show each employee's name and income.
TEST(FopEndToEnd, RealFormatterRendersTheCertificates)
{
    const QString fop = QStringLiteral(LA_SOURCE_DIR "/fop/fop");
    const QString xsl = QStringLiteral(LA_SOURCE_DIR "/xsl/TaxAccountingForm.xsl");
    const bool inCi = !qEnvironmentVariableIsEmpty("CI");
    if (!inCi) {
        if (QStandardPaths::findExecutable(QStringLiteral("fop")).isEmpty())
            GTEST_SKIP() << "fop is not installed";
    }
    ASSERT_TRUE(QFileInfo(fop).isFile()) << "formatter launcher missing: " << fop.toStdString();
    ASSERT_TRUE(QFileInfo(xsl).isFile()) << "style sheet missing: " << xsl.toStdString();
    ASSERT_FALSE(QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty());

    QTemporaryDir work;
    ASSERT_TRUE(work.isValid());
    SqliteTestDatabase db;
    PayrollTables::createExportTable(db);
    const struct
    {
        const char* name;
        qint64 income;
    } people[] = {{"Anna Zürcher", 85432}, {"Bruno Keller", 61207}, {"Chantal Dubois", 47919}};
    int index = 1;
    for (const auto& person : people) {
        ExportRowValues row = employeeRow(QStringLiteral("Muster AG"), index++);
        row[Field::EFLDH1] = Variant::text(QString::fromUtf8(person.name));
        row[Field::EB0100] = Variant::integer(person.income);
        PayrollTables::Row values;
        for (auto it = row.begin(); it != row.end(); ++it)
            values.append({it.key(), it.value()});
        PayrollTables::insert(db, QStringLiteral("LGHLAEXP"), values);
    }

    FakeMainWindow window;
    window.medium = 1;
    window.srcFile = db.path();
    window.lib = db.library();
    window.pdf = true;
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    gFrmMain = &window;
    gFopPath = fop;
    gXslPath = xsl;
    gLog = std::make_unique<clsFSConnect>();
    gLog->init(work.filePath(QStringLiteral("LOVARSLog.txt")), 0);

    const QString plain = work.filePath(QStringLiteral("LA.pdf"));
    window.toFile = plain;
    gOverwriteAsked = false;
    crtXMLData();

    const QString password = QStringLiteral("ge heim\"1");
    const QString locked = work.filePath(QStringLiteral("LA-locked.pdf"));
    window.toFile = locked;
    window.passwordChecked = true;
    window.password = password;
    gOverwriteAsked = false;
    crtXMLData();

    gFrmMain = nullptr;
    gLog.reset();
    EXPECT_TRUE(prompt.boxes.isEmpty()) << prompt.boxes.value(0).text.toStdString();
    ASSERT_TRUE(QFileInfo(plain).isFile());
    ASSERT_TRUE(QFileInfo(locked).isFile());

    const ToolResult text = runTool(QStringLiteral("pdftotext"), {plain, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.output.toStdString();
    for (const auto& person : people) {
        EXPECT_TRUE(text.output.contains(QString::fromUtf8(person.name))) << person.name;
        EXPECT_TRUE(compact(text.output).contains(QString::number(person.income))) << person.income;
    }

    const ToolResult info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-upw"), password, locked});
    ASSERT_EQ(info.exitCode, 0) << info.output.toStdString();
    EXPECT_TRUE(info.output.contains(QRegularExpression(QStringLiteral("Encrypted:\\s+yes"))))
        << info.output.toStdString();
    EXPECT_NE(runTool(QStringLiteral("pdftotext"), {locked, QStringLiteral("-")}).exitCode, 0);
    const ToolResult opened =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-upw"), password, locked, QStringLiteral("-")});
    ASSERT_EQ(opened.exitCode, 0) << opened.output.toStdString();
    EXPECT_TRUE(opened.output.contains(QStringLiteral("Bruno Keller")));
}
