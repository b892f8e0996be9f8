#include "app/CommandLine.h"

#include "app/HeadlessPrompt.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace {

CommandLine parse(QStringList arguments, const QProcessEnvironment& env = {})
{
    arguments.prepend(QStringLiteral("lohnausweis"));
    return parseCommandLine(arguments, env);
}

QString readAll(std::FILE* f)
{
    std::rewind(f);
    QByteArray bytes;
    char buffer[256];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, static_cast<qsizetype>(n));
    return QString::fromUtf8(bytes);
}

} // namespace

TEST(CommandLine, ModesAndUsageErrors)
{
    struct Case
    {
        QStringList arguments;
        CommandLine::Mode mode;
        QString error;
    };
    using M = CommandLine::Mode;
    const Case cases[] = {
        {{}, M::Window, {}},
        {{QStringLiteral("--help")}, M::Help, {}},
        {{QStringLiteral("-h")}, M::Help, {}},
        {{QStringLiteral("--run")}, M::Run, {}},
        {{QStringLiteral("--demo-db"), QStringLiteral("demo.db")}, M::DemoDb, {}},
        {{QStringLiteral("--bogus")}, M::UsageError, QStringLiteral("Unbekannte Option: --bogus")},
        {{QStringLiteral("--run"), QStringLiteral("--source")},
         M::UsageError,
         QStringLiteral("Bei der Option --source fehlt der Wert.")},
        {{QStringLiteral("--run"), QStringLiteral("--yes=1")},
         M::UsageError,
         QStringLiteral("Die Option --yes nimmt keinen Wert.")},
        {{QStringLiteral("--source"), QStringLiteral("S")},
         M::UsageError,
         QStringLiteral("Die Option --source gilt nur zusammen mit --run.")},
        {{QStringLiteral("--run"), QStringLiteral("extra")},
         M::UsageError,
         QStringLiteral("Unerwartetes Argument: extra")},
        {{QStringLiteral("--run"), QStringLiteral("--transfer"), QStringLiteral("tcp")},
         M::UsageError,
         QStringLiteral("--transfer erwartet odbc oder ole.")},
        {{QStringLiteral("--run"), QStringLiteral("--output"), QStringLiteral("xml")},
         M::UsageError,
         QStringLiteral("--output erwartet pdf oder csv.")},
        {{QStringLiteral("--run"), QStringLiteral("--pdf-password"), QString()},
         M::UsageError,
         QStringLiteral("Das PDF-Passwort darf nicht leer sein.")},
        {{QStringLiteral("--run"), QStringLiteral("--demo-db"), QStringLiteral("x.db")},
         M::UsageError,
         QStringLiteral("--run und --demo-db können nicht zusammen angegeben werden.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const CommandLine cl = parse(c.arguments);
        EXPECT_EQ(cl.mode, c.mode);
        EXPECT_EQ(cl.error, c.error);
    }
}

TEST(CommandLine, RunOptionsAndEnvironment)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("LOHNAUSWEIS_USER"), QStringLiteral("ENVUSER"));
    env.insert(QStringLiteral("LOHNAUSWEIS_PASSWORD"), QStringLiteral("envpw"));
    env.insert(QStringLiteral("LOHNAUSWEIS_PDF_PASSWORD"), QStringLiteral("envpdf"));

    const CommandLine fromEnv = parse({QStringLiteral("--run")}, env);
    EXPECT_EQ(fromEnv.user, QStringLiteral("ENVUSER"));
    EXPECT_EQ(fromEnv.password, QStringLiteral("envpw"));
    EXPECT_EQ(fromEnv.pdfPassword, QStringLiteral("envpdf"));
    EXPECT_FALSE(fromEnv.source.has_value());
    EXPECT_FALSE(fromEnv.output.has_value());
    EXPECT_FALSE(fromEnv.yes);

    const CommandLine cl = parse({QStringLiteral("--run"),
                                  QStringLiteral("--transfer"),
                                  QStringLiteral("OLE"),
                                  QStringLiteral("--source"),
                                  QString(),
                                  QStringLiteral("--lib=LOVARLIB"),
                                  QStringLiteral("--to"),
                                  QStringLiteral("/daten/LA.pdf"),
                                  QStringLiteral("--output"),
                                  QStringLiteral("pdf"),
                                  QStringLiteral("--open-pdf"),
                                  QStringLiteral("--pdf-password"),
                                  QStringLiteral("optpdf"),
                                  QStringLiteral("--user"),
                                  QStringLiteral("OPTUSER"),
                                  QStringLiteral("--password"),
                                  QStringLiteral("optpw"),
                                  QStringLiteral("--yes")},
                                 env);
    ASSERT_EQ(cl.mode, CommandLine::Mode::Run);
    EXPECT_EQ(cl.transfer, 1);
    ASSERT_TRUE(cl.source.has_value());
    EXPECT_TRUE(cl.source->isEmpty());
    EXPECT_EQ(cl.lib, QStringLiteral("LOVARLIB"));
    EXPECT_EQ(cl.toFile, QStringLiteral("/daten/LA.pdf"));
    EXPECT_EQ(cl.output, CommandLine::Output::Pdf);
    EXPECT_TRUE(cl.openPdf);
    EXPECT_EQ(cl.pdfPassword, QStringLiteral("optpdf"));
    EXPECT_EQ(cl.user, QStringLiteral("OPTUSER"));
    EXPECT_EQ(cl.password, QStringLiteral("optpw"));
    EXPECT_TRUE(cl.yes);
}

TEST(HeadlessPrompt, WritesBoxesAndCountsFailures)
{
    struct Case
    {
        int style;
        bool yes;
        int answer;
        bool failure;
        bool cancelled;
    };
    const Case cases[] = {
        {0, false, MsgAnswer::Ok, false, false},
        {64, false, MsgAnswer::Ok, false, false},
        {48, false, MsgAnswer::Ok, true, false},
        {16, false, MsgAnswer::Ok, true, false},
        {1, false, MsgAnswer::Cancel, false, true},
        {1, true, MsgAnswer::Ok, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        HeadlessPrompt prompt(out, false, {c.yes, {}, {}});

        EXPECT_EQ(prompt.messageBox(QStringLiteral("Fehlernummer:  5\r\nfrmMain.x\r\n\r\nÜberlauf"),
                                    c.style,
                                    QStringLiteral("Titel")),
                  c.answer);

        EXPECT_EQ(readAll(out), QStringLiteral("Titel\nFehlernummer:  5\nfrmMain.x\n\nÜberlauf\n\n"));
        EXPECT_EQ(prompt.failureShown(), c.failure);
        EXPECT_EQ(prompt.cancelled(), c.cancelled);
        std::fclose(out);
    }
}

TEST(HeadlessPrompt, ProgressLineOnlyOnATerminal)
{
    for (const bool terminal : {true, false}) {
        std::FILE* out = std::tmpfile();
        ASSERT_NE(out, nullptr);
        HeadlessPrompt prompt(out, terminal, {false, QStringLiteral("U"), QStringLiteral("P")});
        prompt.progress(QStringLiteral("Datensatz lesen: 10"));
        prompt.progress(QStringLiteral("Datei 'a' erstellen ..."));
        prompt.progress(QStringLiteral("Datensatz lesen: 9"));
        prompt.messageBox(QStringLiteral("Text"), 0, QStringLiteral("Titel"));

        const QString written = readAll(out);
        if (terminal) {
            EXPECT_TRUE(written.startsWith(QStringLiteral("\rDatensatz lesen: 10\rDatei 'a' erstellen ...")));
            // The shorter text blanks the rest of the longer one, and the box starts on a clean line.
            EXPECT_TRUE(written.contains(QStringLiteral("\rDatensatz lesen: 9    ")));
            EXPECT_TRUE(written.endsWith(QStringLiteral("\rTitel\nText\n\n")));
        } else {
            EXPECT_EQ(written, QStringLiteral("Titel\nText\n\n"));
        }
        QString user;
        QString password;
        prompt.login(user, password);
        EXPECT_EQ(user, QStringLiteral("U"));
        EXPECT_EQ(password, QStringLiteral("P"));
        std::fclose(out);
    }
}
