// Renders with the shipped launcher (fop/fop) and the certificate style sheet, and reads the PDFs back
// with poppler's tools. Each FOP run starts a Java VM, so there are two runs: the sample declaration
// straight through the launcher, and a password-protected run of the program itself.

#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/clsFSConnect.h"
#include "report/crtXMLData.h"
#include "support/FakeMainWindow.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/ReportFixtures.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace {

struct ToolResult
{
    int exitCode = -1;
    QString output;
};

// Standard and error output together, as the program's run log gets them.
ToolResult runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
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
QString runtimeFile(const QString& relative)
{
    const QString built = QStringLiteral(LA_BINARY_DIR "/") + relative;
    return QFileInfo::exists(built) ? built : QStringLiteral(LA_SOURCE_DIR "/") + relative;
}

QStringList pageRange(int page)
{
    return {"-enc", "UTF-8", "-f", QString::number(page), "-l", QString::number(page)};
}

// Position of a word on a page, in points from the top left corner; nullopt when the word is missing.
std::optional<QPointF> wordPosition(const QString& pdf, int page, const QString& word)
{
    const QString html = runTool(QStringLiteral("pdftotext"),
                                 QStringList{QStringLiteral("-bbox")} + pageRange(page) + QStringList{pdf, "-"})
                             .output;
    const QRegularExpression pattern(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(3);
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (text == word)
            return QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return std::nullopt;
}

class RealFop : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QStringList missing;
        for (const char* tool : {"fop", "java", "pdfinfo", "pdftotext", "pdffonts"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                missing << QString::fromLatin1(tool);
        if (!missing.isEmpty()) {
            if (qEnvironmentVariableIsSet("CI"))
                FAIL() << "Programme fehlen: " << missing.join(u' ').toStdString();
            GTEST_SKIP() << "Programme fehlen (Pakete fop, poppler-utils): " << missing.join(u' ').toStdString();
        }
        ASSERT_TRUE(dir.isValid());
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(RealFop, SampleDeclarationGivesOneA4CertificatePerStaffBlock)
{
    const QString sample = QStringLiteral(LA_TEST_DATA_DIR "/certificate-sample.xml");
    const QString pdf = dir.filePath(QStringLiteral("certificates.pdf"));
    const ToolResult fop =
        runTool(runtimeFile(QStringLiteral("fop/fop")),
                {"-xml", sample, "-xsl", runtimeFile(QStringLiteral("xsl/TaxAccountingForm.xsl")), "-pdf", pdf});
    ASSERT_EQ(fop.exitCode, 0) << fop.output.toStdString();

    const QString info = runTool(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "6", pdf}).output;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n")))) << info.toStdString();
    EXPECT_EQ(info.count(QRegularExpression(QStringLiteral("Page +\\d+ size: +595\\.\\d+ x 841\\.\\d+ pts \\(A4\\)"))),
              5)
        << info.toStdString();

    // Every character of a Swiss name must print: every font embedded, and ours among them.
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf}).output;
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationSans"))) << fonts.toStdString();
    EXPECT_FALSE(fonts.contains(QRegularExpression(QStringLiteral("\\sno\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"),
                                                   QRegularExpression::MultilineOption)))
        << fonts.toStdString();

    const QStringList everyPage = {
        QStringLiteral("Bruttolohn total / Rente"),
        QStringLiteral("Beiträge AHV/IV/EO/ALV/NBUV"),
        QStringLiteral("Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des "
                       "Arbeitgebers"),
        QStringLiteral("Bäckerei Brühlmann & Söhne AG"),
        QStringLiteral("8002 Zürich"),
        QStringLiteral("Zürich, 31. Januar 2025"),
        QStringLiteral("044 123 45 67"),
    };
    const struct
    {
        QString nameWord;
        bool right;     // address in the right-hand window
        QString marks;  // check boxes A, B, F, G, 13.1.1 in this order: x set, o not set
        QString values; // printed values of this certificate, separated by "|"
    } pages[] = {
        {QStringLiteral("Brühlmann-Mäder"),
         true,
         QStringLiteral("xoxxx"),
         QStringLiteral("Brühlmann-Mäder Jörg|756.9217.0769.85|01.01.2024|31.12.2024|85000|90250.5|79600.25|"
                        "Sabbatical vom 01.03. bis 31.05. Teilzeit 80%")},
        {QStringLiteral("Jöhl-Gerber"),
         false,
         QStringLiteral("oxooo"),
         QStringLiteral("Jöhl-Gerber Françoise|Rue de l'Hôpital 3|2000 Neuchâtel|15.03.2024|1234.55")},
        {QStringLiteral("Čapek"), false, QStringLiteral("ooooo"), QStringLiteral("Čapek Łukasz Győző Weiß")},
        {QStringLiteral("Dr."), true, QStringLiteral("xooxo"), QStringLiteral("1824845.9|<Ref. 2020-017>")},
        {QStringLiteral("D'Agostino"), true, QStringLiteral("xooxo"), QStringLiteral("D'Agostino Lucia|16508.15")},
    };
    const QString set = QStringLiteral("☒");
    const QString unset = QStringLiteral("☐");
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const auto& p = pages[i];
        const QString text = runTool(QStringLiteral("pdftotext"),
                                     QStringList{QStringLiteral("-layout")} + pageRange(i + 1) + QStringList{pdf, "-"})
                                 .output;
        for (const QString& s : everyPage + p.values.split(u'|'))
            EXPECT_TRUE(text.contains(s)) << "missing: " << s.toStdString();
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d")))) << "ISO date printed";

        const auto mark = [&](int index) { return p.marks.at(index) == u'x' ? set : unset; };
        EXPECT_TRUE(text.contains(mark(0) + QStringLiteral(" Lohnausweis")));
        EXPECT_TRUE(text.contains(mark(1) + QStringLiteral(" Rentenbescheinigung")));
        EXPECT_TRUE(text.contains(mark(2) + QStringLiteral(" Unentgeltliche Beförderung")));
        EXPECT_TRUE(text.contains(mark(3) + QStringLiteral(" Kantinenverpflegung")));
        EXPECT_TRUE(text.contains(QStringLiteral("Übernachtung ") + mark(4)));
        EXPECT_EQ(text.count(set), p.marks.count(u'x'));

        // The address where a window envelope shows it: about 50 mm from the top, 22 mm or 118 mm from
        // the left edge.
        const std::optional<QPointF> at = wordPosition(pdf, i + 1, p.nameWord);
        ASSERT_TRUE(at.has_value()) << p.nameWord.toStdString();
        EXPECT_GT(at->y(), 40 * 72 / 25.4);
        EXPECT_LT(at->y(), 60 * 72 / 25.4);
        EXPECT_NEAR(at->x(), (p.right ? 118 : 22) * 72 / 25.4, 15);
    }
}

// The whole chain: the program's document, launcher and style sheet give a PDF that opens with the
// password only and shows each employee's name and income.
TEST_F(RealFop, ProgramRunWithPasswordGivesAnEncryptedPdfOfEveryEmployee)
{
    SqliteTestDatabase db;
    PayrollTables::createExportTable(db);
    const struct
    {
        const char* name;
        qint64 income;
    } people[] = {{"Anna Zürcher", 85432}, {"Bruno Keller", 61207}, {"Chantal Dubois", 47919}};
    QList<ExportRowValues> rows;
    for (const auto& person : people) {
        rows.append(employeeRow(QStringLiteral("Muster AG"), int(rows.size())));
        rows.last()[Field::EFLDH1] = Variant::text(QString::fromUtf8(person.name));
        rows.last()[Field::EB0100] = Variant::integer(person.income);
    }
    insertExportRows(db, rows);

    const QString pdf = dir.filePath(QStringLiteral("LA.pdf"));
    const QString password = QStringLiteral("ge heim\"1");
    FakeMainWindow window;
    window.srcFile = db.path();
    window.lib = db.library();
    window.toFile = pdf;
    window.pdf = true;
    window.passwordChecked = true;
    window.password = password;
    RecordingPrompt prompt;
    ScopedPrompt scoped(prompt);
    gFrmMain = &window;
    gFopPath = runtimeFile(QStringLiteral("fop/fop"));
    gXslPath = runtimeFile(QStringLiteral("xsl/TaxAccountingForm.xsl"));
    gOverwriteAsked = false;
    gLog = std::make_unique<clsFSConnect>();
    gLog->init(dir.filePath(QStringLiteral("LOVARSLog.txt")), 0);
    try {
        crtXMLData();
    } catch (const LaError& e) {
        ADD_FAILURE() << e.number() << " " << e.description().toStdString();
    }
    gFrmMain = nullptr; // the window dies with this test
    gLog.reset();

    EXPECT_TRUE(prompt.boxes.isEmpty()) << prompt.boxes.value(0).text.toStdString();
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    // A user password, not only an owner password: without it the text cannot be read.
    EXPECT_NE(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).exitCode, 0);

    const ToolResult text =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-upw"), password, pdf, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.output.toStdString();
    // Without the separators a layout may put into numbers, so an amount is found whatever its grouping.
    QString compact = text.output;
    compact.remove(QRegularExpression(QStringLiteral("[\\s'\\x{2019}\\x{2009}\\x{202F}]")));
    for (const auto& person : people) {
        EXPECT_TRUE(text.output.contains(QString::fromUtf8(person.name))) << person.name;
        EXPECT_TRUE(compact.contains(QString::number(person.income))) << person.income;
    }
}
