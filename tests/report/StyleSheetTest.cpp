// Renders the sample salary declaration with the shipped launcher (fop/fop), its configuration and the
// certificate style sheet, and reads the PDF back with poppler's tools. Each FOP run starts a Java VM,
// so the tests make as few runs as they can: one plain, one with a password and a different
// namespace base, one with a declaration that holds no certificate.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <iterator>
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
    ToolResult result;
    if (!process.waitForStarted() || !process.waitForFinished(180000)) {
        process.kill();
        process.waitForFinished();
        result.output = QStringLiteral("%1 did not run to its end: %2").arg(program, process.errorString());
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

// The copy beside the program is what a run uses; the source tree serves when it has not been built.
QString runtimeFile(const QString& relative)
{
    const QString built = QStringLiteral(LA_BINARY_DIR "/") + relative;
    return QFileInfo::exists(built) ? built : QStringLiteral(LA_SOURCE_DIR "/") + relative;
}

QString samplePath()
{
    return QStringLiteral(LA_TEST_DATA_DIR "/certificate-sample.xml");
}

QString readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

int staffBlocks(const QString& document)
{
    return int(document.count(QRegularExpression(QStringLiteral("<\\w+:Staff>"))));
}

// The tools these tests need; empty when all are there.
QString missingTools()
{
    QStringList missing;
    for (const char* tool : {"fop", "pdfinfo", "pdftotext", "pdffonts"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            missing << QString::fromLatin1(tool);
    }
    return missing.join(QStringLiteral(", "));
}

ToolResult renderPdf(const QString& xml, const QString& pdf, const QStringList& password = {})
{
    QStringList arguments = password;
    arguments << QStringLiteral("-xml") << xml << QStringLiteral("-xsl")
              << runtimeFile(QStringLiteral("xsl/TaxAccountingForm.xsl")) << QStringLiteral("-pdf") << pdf;
    return runTool(runtimeFile(QStringLiteral("fop/fop")), arguments);
}

QString pageText(const QString& pdf, int page, const QStringList& password = {})
{
    QStringList arguments = password;
    arguments << QStringLiteral("-layout") << QStringLiteral("-enc") << QStringLiteral("UTF-8") << QStringLiteral("-f")
              << QString::number(page) << QStringLiteral("-l") << QString::number(page) << pdf << QStringLiteral("-");
    return runTool(QStringLiteral("pdftotext"), arguments).output;
}

// Position of a word on a page, in points from the top left corner; nullopt when the word is missing.
std::optional<QPointF> wordPosition(const QString& pdf, int page, const QString& word)
{
    const QString html = runTool(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"),
                                  QStringLiteral("-enc"),
                                  QStringLiteral("UTF-8"),
                                  QStringLiteral("-f"),
                                  QString::number(page),
                                  QStringLiteral("-l"),
                                  QString::number(page),
                                  pdf,
                                  QStringLiteral("-")})
                             .output;
    const QRegularExpression pattern(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        QString text = m.captured(3);
        text.replace(QStringLiteral("&apos;"), QStringLiteral("'"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        if (text == word)
            return QPointF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return std::nullopt;
}

class StyleSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString missing = missingTools();
        if (missing.isEmpty())
            return;
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "Programme fehlen: " << missing.toStdString();
        GTEST_SKIP() << "Programme fehlen (Pakete fop, poppler-utils): " << missing.toStdString();
    }

    QTemporaryDir m_dir;
};

TEST_F(StyleSheetTest, RendersOneA4CertificatePerStaffBlock)
{
    ASSERT_TRUE(m_dir.isValid());
    const QString pdf = m_dir.filePath(QStringLiteral("certificates.pdf"));
    const ToolResult fop = renderPdf(samplePath(), pdf);
    ASSERT_EQ(fop.exitCode, 0) << fop.output.toStdString();
    ASSERT_TRUE(QFileInfo::exists(pdf)) << fop.output.toStdString();

    const int staff = staffBlocks(readUtf8(samplePath()));
    ASSERT_EQ(staff, 5);
    const QString info =
        runTool(QStringLiteral("pdfinfo"),
                {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QString::number(staff + 1), pdf})
            .output;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(staff)))) << info.toStdString();
    EXPECT_EQ(info.count(QRegularExpression(QStringLiteral("Page +\\d+ size: +595\\.\\d+ x 841\\.\\d+ pts \\(A4\\)"))),
              staff)
        << info.toStdString();
    EXPECT_FALSE(info.contains(QStringLiteral("Encrypted:       yes")));
    EXPECT_TRUE(info.contains(
        QRegularExpression(QStringLiteral("Title:\\s+Lohnausweise 2024 – Bäckerei Brühlmann & Söhne AG\\n"))))
        << info.toStdString();

    // Every character of a Swiss name must print: only embedded fonts, and ours.
    const QString fonts = runTool(QStringLiteral("pdffonts"), {pdf}).output;
    const QRegularExpression fontLine(
        QStringLiteral("^(\\S+)\\s.*\\s(yes|no)\\s+(yes|no)\\s+(yes|no)\\s+\\d+\\s+\\d+$"),
        QRegularExpression::MultilineOption);
    int fontCount = 0;
    bool liberation = false;
    for (auto it = fontLine.globalMatch(fonts); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        ++fontCount;
        liberation = liberation || m.captured(1).contains(QStringLiteral("LiberationSans"));
        EXPECT_EQ(m.captured(2), QStringLiteral("yes")) << "not embedded: " << m.captured(1).toStdString();
    }
    EXPECT_GT(fontCount, 0) << fonts.toStdString();
    EXPECT_TRUE(liberation) << fonts.toStdString();

    const QStringList everyPage = {
        QStringLiteral("Lohnausweis"),
        QStringLiteral("Bruttolohn total / Rente"),
        QStringLiteral("Nettolohn / Rente"),
        QStringLiteral("Beiträge AHV/IV/EO/ALV/NBUV"),
        QStringLiteral("Spesenvergütungen"),
        QStringLiteral("Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des "
                       "Arbeitgebers"),
        // Company part and general description, from the document's shared parts.
        QStringLiteral("Bäckerei Brühlmann & Söhne AG"),
        QStringLiteral("Seestrasse 45"),
        QStringLiteral("8002 Zürich"),
        QStringLiteral("Zürich, 31. Januar 2025"),
        QStringLiteral("Beat Schläpfer"),
        QStringLiteral("044 123 45 67"),
        QStringLiteral("2024"),
    };
    struct Page
    {
        QString nameWord;
        bool right;
        QString marks; // check boxes A, B, F, G, 13.1.1 in this order: x set, o not set
        QStringList values;
    };
    const Page pages[] = {
        {QStringLiteral("Brühlmann-Mäder"),
         true,
         QStringLiteral("xoxxx"),
         {QStringLiteral("Brühlmann-Mäder Jörg"),
          QStringLiteral("8001 Zürich"),
          QStringLiteral("756.9217.0769.85"),
          QStringLiteral("01.01.2024"),
          QStringLiteral("31.12.2024"),
          QStringLiteral("85000"),
          QStringLiteral("3600.5"),
          QStringLiteral("90250.5"),
          QStringLiteral("5450.25"),
          QStringLiteral("79600.25"),
          QStringLiteral("Mitarbeiterrabatt"),
          QStringLiteral("Sabbatical vom 01.03. bis 31.05. Teilzeit 80%")}},
        {QStringLiteral("Jöhl-Gerber"),
         false,
         QStringLiteral("oxooo"),
         {QStringLiteral("Jöhl-Gerber Françoise"),
          QStringLiteral("Rue de l'Hôpital 3"),
          QStringLiteral("2000 Neuchâtel"),
          QStringLiteral("15.03.2024"),
          QStringLiteral("1234.55"),
          QStringLiteral("Rente der Pensionskasse")}},
        {QStringLiteral("Čapek"),
         false,
         QStringLiteral("ooooo"),
         {QStringLiteral("Čapek Łukasz Győző Weiß"), QStringLiteral("Hauptstraße 7"), QStringLiteral("3011 Bern")}},
        {QStringLiteral("Dr."),
         true,
         QStringLiteral("xooxo"),
         {QStringLiteral("Schäppi"),
          QStringLiteral("1234567.85"),
          QStringLiteral("1824845.9"),
          QStringLiteral("1551759.45"),
          QStringLiteral("Treueprämie"),
          QStringLiteral("Abgangsentschädigung"),
          QStringLiteral("Generalabonnement"),
          QStringLiteral("<Ref. 2020-017>"),
          QStringLiteral("30.09.2024")}},
        {QStringLiteral("D'Agostino"),
         true,
         QStringLiteral("xooxo"),
         {QStringLiteral("D'Agostino Lucia"), QStringLiteral("6900 Lugano"), QStringLiteral("16508.15")}},
    };
    ASSERT_EQ(int(std::size(pages)), staff);

    const QString set = QStringLiteral("☒");
    const QString unset = QStringLiteral("☐");
    for (int i = 0; i < staff; ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const Page& p = pages[i];
        const QString text = pageText(pdf, i + 1);
        for (const QString& s : everyPage + p.values)
            EXPECT_TRUE(text.contains(s)) << "missing: " << s.toStdString();
        // Dates print as dd.mm.yyyy only.
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d"))));

        const auto mark = [&](int index) { return p.marks.at(index) == QLatin1Char('x') ? set : unset; };
        EXPECT_TRUE(text.contains(mark(0) + QStringLiteral(" Lohnausweis")));
        EXPECT_TRUE(text.contains(mark(1) + QStringLiteral(" Rentenbescheinigung")));
        EXPECT_TRUE(text.contains(mark(2) + QStringLiteral(" Unentgeltliche Beförderung")));
        EXPECT_TRUE(text.contains(mark(3) + QStringLiteral(" Kantinenverpflegung")));
        EXPECT_TRUE(text.contains(QStringLiteral("Übernachtung ") + mark(4)));
        EXPECT_EQ(text.count(set), p.marks.count(QLatin1Char('x')));

        // The address where a window envelope shows it: about 50 mm from the top, 22 mm or 118 mm from
        // the left edge.
        const std::optional<QPointF> at = wordPosition(pdf, i + 1, p.nameWord);
        ASSERT_TRUE(at.has_value()) << p.nameWord.toStdString();
        EXPECT_GT(at->y(), 40 * 72 / 25.4);
        EXPECT_LT(at->y(), 60 * 72 / 25.4);
        if (p.right)
            EXPECT_NEAR(at->x(), 118 * 72 / 25.4, 15);
        else
            EXPECT_NEAR(at->x(), 22 * 72 / 25.4, 15);
    }
}

// The namespace base is the document writer's choice; a password protects the PDF.
TEST_F(StyleSheetTest, OtherNamespaceBaseAndUserPassword)
{
    ASSERT_TRUE(m_dir.isValid());
    QString document = readUtf8(samplePath());
    const QString base = QStringLiteral("http://www.swissdec.ch/schema/");
    ASSERT_EQ(document.count(base), 5);
    document.replace(base, QStringLiteral("https://lohn.example.org/schema/"));
    const QString xml = m_dir.filePath(QStringLiteral("other-base.xml"));
    {
        QFile file(xml);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(document.toUtf8()), document.toUtf8().size());
    }

    const QString pdf = m_dir.filePath(QStringLiteral("locked.pdf"));
    const QStringList password = {QStringLiteral("-u"), QStringLiteral("geheim")};
    const ToolResult fop = renderPdf(xml, pdf, password);
    ASSERT_EQ(fop.exitCode, 0) << fop.output.toStdString();
    ASSERT_TRUE(QFileInfo::exists(pdf)) << fop.output.toStdString();

    const QStringList upw = {QStringLiteral("-upw"), QStringLiteral("geheim")};
    const QString info = runTool(QStringLiteral("pdfinfo"), upw + QStringList{pdf}).output;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Encrypted:\\s+yes")))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(staffBlocks(document)))))
        << info.toStdString();

    const ToolResult withoutPassword = runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    EXPECT_NE(withoutPassword.exitCode, 0);
    EXPECT_FALSE(withoutPassword.output.contains(QStringLiteral("Jörg")));
    EXPECT_FALSE(runTool(QStringLiteral("pdftotext"),
                         {QStringLiteral("-upw"), QStringLiteral("falsch"), pdf, QStringLiteral("-")})
                     .output.contains(QStringLiteral("Jörg")));

    const QString text = pageText(pdf, 1, upw);
    for (const QString& s : {QStringLiteral("Brühlmann-Mäder Jörg"),
                             QStringLiteral("Nettolohn / Rente"),
                             QStringLiteral("79600.25"),
                             QStringLiteral("☒ Lohnausweis"),
                             QStringLiteral("2024")})
        EXPECT_TRUE(text.contains(s)) << "missing: " << s.toStdString();
}

// The program judges success by the PDF's existence: a declaration without any certificate must leave
// no PDF, and the launcher must pass FOP's failure on.
TEST_F(StyleSheetTest, DeclarationWithoutStaffLeavesNoPdf)
{
    ASSERT_TRUE(m_dir.isValid());
    QString document = readUtf8(samplePath());
    const qsizetype first = document.indexOf(QStringLiteral("<ns2:Staff>"));
    const QString lastEnd = QStringLiteral("</ns2:Staff>\r\n");
    const qsizetype end = document.lastIndexOf(lastEnd) + lastEnd.size();
    ASSERT_GT(first, 0);
    document.remove(first, end - first);
    ASSERT_EQ(staffBlocks(document), 0);
    const QString xml = m_dir.filePath(QStringLiteral("no-staff.xml"));
    {
        QFile file(xml);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(document.toUtf8()), document.toUtf8().size());
    }

    const QString pdf = m_dir.filePath(QStringLiteral("no-staff.pdf"));
    const ToolResult fop = renderPdf(xml, pdf);
    EXPECT_NE(fop.exitCode, 0) << fop.output.toStdString();
    EXPECT_FALSE(QFileInfo::exists(pdf));
    EXPECT_TRUE(fop.output.contains(QStringLiteral("keinen Lohnausweis"))) << fop.output.toStdString();
}

} // namespace
