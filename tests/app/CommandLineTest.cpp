#include "app/CommandLine.h"

#include "app/HeadlessPrompt.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {

CommandLine parse(const QString& arguments, const QProcessEnvironment& env = {})
{
    return parseCommandLine(QStringLiteral("lohnausweis ").append(arguments).split(u' ', Qt::SkipEmptyParts), env);
}

// What a HeadlessPrompt writes, read back whole.
struct Capture
{
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file{std::tmpfile(), &std::fclose};

    QString text() const
    {
        std::rewind(file.get());
        QByteArray bytes;
        char buffer[256];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
            bytes.append(buffer, static_cast<qsizetype>(n));
        return QString::fromUtf8(bytes);
    }
};

} // namespace

TEST(CommandLine, UsageErrorsNameTheirCause)
{
    const std::pair<const char*, const char*> cases[] = {
        {"--run --source", "--source"},
        {"--run --yes=1", "--yes"},
        {"--run extra", "extra"},
        {"--run --transfer tcp", "--transfer"},
        {"--run --demo-db x.db", "--demo-db"},
        {"--run --output doc", "--output"},
        {"--lib LOVARLIB", "--lib"},
        {"--unbekannt", "--unbekannt"},
        {"--check --run", "--check"},
        {"--check --output pdf", "--output"},
        {"--check --ignore-check-errors", "--ignore-check-errors"},
        {"--company A", "--company"},
        {"--run --employee", "--employee"},
        {"--run --employee-password geburtstag", "--employee-password"},
        {"--run --employee-password fixed", "--employee-password fixed"},
        {"--run --output csv --per-employee", "--per-employee"},
        {"--check --per-employee", "--per-employee"},
    };
    for (const auto& [arguments, cause] : cases) {
        const CommandLine cl = parse(QString::fromLatin1(arguments));
        EXPECT_EQ(cl.mode, CommandLine::Mode::UsageError) << arguments;
        EXPECT_TRUE(cl.error.contains(QString::fromLatin1(cause))) << cl.error.toStdString();
    }
    const CommandLine emptyPassword = parseCommandLine(
        {QStringLiteral("lohnausweis"), QStringLiteral("--run"), QStringLiteral("--pdf-password"), {}}, {});
    EXPECT_EQ(emptyPassword.mode, CommandLine::Mode::UsageError);
    // A blank name would select nothing the clerk could mean.
    const CommandLine blankCompany = parseCommandLine(
        {QStringLiteral("lohnausweis"), QStringLiteral("--check"), QStringLiteral("--company"), QStringLiteral(" ")},
        {});
    EXPECT_EQ(blankCompany.mode, CommandLine::Mode::UsageError);
    EXPECT_EQ(parse({}).mode, CommandLine::Mode::Window);
}

TEST(CommandLine, OptionsWinOverTheEnvironment)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("LOHNAUSWEIS_USER"), QStringLiteral("ENVUSER"));
    env.insert(QStringLiteral("LOHNAUSWEIS_PASSWORD"), QStringLiteral("envpw"));
    env.insert(QStringLiteral("LOHNAUSWEIS_PDF_PASSWORD"), QStringLiteral("envpdf"));

    const CommandLine fromEnv = parse(QStringLiteral("--run"), env);
    EXPECT_EQ(fromEnv.user + u'/' + fromEnv.password + u'/' + fromEnv.pdfPassword.value_or(QString()),
              QStringLiteral("ENVUSER/envpw/envpdf"));
    EXPECT_FALSE(fromEnv.source || fromEnv.lib || fromEnv.toFile || fromEnv.output || fromEnv.transfer);
    EXPECT_FALSE(fromEnv.yes || fromEnv.openPdf);

    const CommandLine cl =
        parse(QStringLiteral("--run --transfer OLE --lib=LOVARLIB --to /daten/LA.pdf --output pdf "
                             "--open-pdf --pdf-password optpdf --user OPTUSER --password optpw --yes "
                             "--company A --employee 756.1234.5678.97 --company B --ignore-check-errors "
                             "--employee-password BirthDate"),
              env);
    ASSERT_EQ(cl.mode, CommandLine::Mode::Run);
    EXPECT_EQ(cl.transfer, 1);
    EXPECT_EQ(cl.lib, QStringLiteral("LOVARLIB"));
    EXPECT_EQ(cl.toFile, QStringLiteral("/daten/LA.pdf"));
    EXPECT_EQ(cl.output, CommandLine::Output::Pdf);
    EXPECT_TRUE(cl.openPdf && cl.yes);
    EXPECT_EQ(cl.user + u'/' + cl.password + u'/' + cl.pdfPassword.value_or(QString()),
              QStringLiteral("OPTUSER/optpw/optpdf"));
    EXPECT_EQ(cl.companies, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(cl.employees, QStringList{QStringLiteral("756.1234.5678.97")});
    EXPECT_TRUE(cl.ignoreCheckErrors && !fromEnv.ignoreCheckErrors);
    // A password kind for the files per employee means files per employee.
    EXPECT_EQ(cl.employeePassword.value_or(QString()), QStringLiteral("birthdate"));
    EXPECT_TRUE(cl.perEmployee && !fromEnv.perEmployee);
}

TEST(HeadlessPrompt, WritesBoxesAndCountsFailures)
{
    // style, answer, --yes, counted as failure, as cancelled
    const std::tuple<int, int, bool, bool, bool> cases[] = {
        {64, MsgAnswer::Ok, false, false, false},
        {48, MsgAnswer::Ok, false, true, false},
        {16, MsgAnswer::Ok, false, true, false},
        {1, MsgAnswer::Cancel, false, false, true},
        {1, MsgAnswer::Ok, true, false, false},
    };
    for (const auto& [style, answer, yes, failure, cancelled] : cases) {
        SCOPED_TRACE(style);
        const Capture out;
        HeadlessPrompt prompt(out.file.get(), false, {yes, QStringLiteral("U"), QStringLiteral("P")});

        EXPECT_EQ(prompt.messageBox(
                      QStringLiteral("Fehlernummer:  5\r\nfrmMain.x\r\n\r\nÜberlauf"), style, QStringLiteral("Titel")),
                  answer);

        EXPECT_EQ(out.text(), QStringLiteral("Titel\nFehlernummer:  5\nfrmMain.x\n\nÜberlauf\n\n"));
        EXPECT_EQ(prompt.failureShown(), failure);
        EXPECT_EQ(prompt.cancelled(), cancelled);
        // The login answers with the user and password of the command line.
        QString user;
        QString password;
        prompt.login(QStringLiteral("DSN"), user, password);
        EXPECT_EQ(user + u'/' + password, QStringLiteral("U/P"));
    }
}

TEST(HeadlessPrompt, ProgressLineOnATerminalGivesWayToTheBox)
{
    const Capture out;
    HeadlessPrompt prompt(out.file.get(), true, {});
    prompt.progress(QStringLiteral("Datensatz lesen: 10"));
    prompt.progress(QStringLiteral("Datensatz lesen: 9"));
    prompt.messageBox(QStringLiteral("Text"), 0, QStringLiteral("Titel"));

    // The shorter text blanks the rest of the longer one, and the box starts on a clean line.
    EXPECT_TRUE(out.text().startsWith(QStringLiteral("\rDatensatz lesen: 10\rDatensatz lesen: 9 ")));
    EXPECT_TRUE(out.text().endsWith(QStringLiteral("\rTitel\nText\n\n")));
}
