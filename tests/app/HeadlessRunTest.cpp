#include "platform/clsRegistryHandler.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program with a store and a temporary directory of its own and no display.
class HeadlessRun : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("config")));
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("tmp")));
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("TMPDIR"), m_dir.path() + QStringLiteral("/tmp"));
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        for (const char* name : {"LOHNAUSWEIS_USER", "LOHNAUSWEIS_PASSWORD", "LOHNAUSWEIS_PDF_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        return env;
    }

    Result run(const QStringList& arguments) const
    {
        QProcess process;
        process.setProcessEnvironment(environment());
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // The store the program sees, opened in this process.
    template <typename F> void withStore(F f) const
    {
        const QByteArray old = qgetenv("XDG_CONFIG_HOME");
        const bool had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/config")));
        clsRegistryHandler store;
        f(store);
        if (had)
            qputenv("XDG_CONFIG_HOME", old);
        else
            qunsetenv("XDG_CONFIG_HOME");
    }

    QString path(const char* name) const { return m_dir.path() + u'/' + QString::fromLatin1(name); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(HeadlessRun, HelpPrintsTheUsage)
{
    const Result r = run({QStringLiteral("--help")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("lohnausweis --run [Optionen]")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("--pdf-password")));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST_F(HeadlessRun, UsageErrorsExitWithTwo)
{
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--unbekannt")},
          QStringList{QStringLiteral("--run"), QStringLiteral("--output"), QStringLiteral("doc")},
          QStringList{QStringLiteral("--lib"), QStringLiteral("LOVARLIB")}}) {
        SCOPED_TRACE(arguments.join(u' ').toStdString());
        const Result r = run(arguments);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Aufruf:")));
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(HeadlessRun, ParameterBoxGoesToStandardErrorAndExitsWithOne)
{
    const Result r = run({QStringLiteral("--run"),
                          QStringLiteral("--source"),
                          QString(),
                          QStringLiteral("--lib"),
                          QStringLiteral("LOVARLIB"),
                          QStringLiteral("--to"),
                          path("LA.csv"),
                          QStringLiteral("--output"),
                          QStringLiteral("csv")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              QStringLiteral("Parameter prüfen\nBei der ausgewählten Option muss ein Pfad angegeben werden.\n\n"));
    EXPECT_FALSE(QFileInfo::exists(path("tmp/LOVARSLog.txt")));
}

TEST_F(HeadlessRun, StoredSettingsAreUsedAndNotChanged)
{
    withStore([this](clsRegistryHandler& store) {
        store.SaveSettingLong(QStringLiteral("Medium"), 1);
        store.SaveSettingString(QStringLiteral("Source"), QStringLiteral("S44A1234"));
        store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("LOVARLIB"));
        store.SaveSettingLong(QStringLiteral("Output PDF"), -1);
    });

    // Only the output file is missing: the other settings come from the store.
    const Result r = run({QStringLiteral("--run"), QStringLiteral("--lib"), QStringLiteral("ANDERE")});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              QStringLiteral("Parameter prüfen\nEs muss ein Verzeichnis und ein Dateiname für die DTA-Datei "
                             "angegeben werden.\n\n"));
    withStore([](clsRegistryHandler& store) {
        EXPECT_EQ(store.GetSettingString(QStringLiteral("Lib")), QStringLiteral("LOVARLIB"));
        EXPECT_EQ(store.GetSettingString(QStringLiteral("ToFile"), QStringLiteral("missing")),
                  QStringLiteral("missing"));
    });
}

TEST_F(HeadlessRun, FailingRunShowsItsErrorBoxAsPlainLines)
{
    const Result r = run({QStringLiteral("--run"),
                          QStringLiteral("--transfer"),
                          QStringLiteral("ole"),
                          QStringLiteral("--source"),
                          QStringLiteral("S44A1234"),
                          QStringLiteral("--lib"),
                          QStringLiteral("LOVARLIB"),
                          QStringLiteral("--to"),
                          path("LA.csv"),
                          QStringLiteral("--output"),
                          QStringLiteral("csv")});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("\nFehlernummer: ")));
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("\n\n")));
    // Neither CR from the box texts nor a progress line: standard error is no terminal here.
    EXPECT_FALSE(r.err.contains(u'\r'));
    EXPECT_TRUE(QFileInfo::exists(path("tmp/LOVARSLog.txt")));
    withStore([](clsRegistryHandler& store) {
        EXPECT_TRUE(store.GetSettingString(QStringLiteral("Source")).isEmpty());
        // The run itself stores the defaults it had to use.
        EXPECT_EQ(store.GetSettingString(QStringLiteral("FOP")), QStringLiteral("./fop/fop"));
    });
}

TEST_F(HeadlessRun, DemoDatabase)
{
    const Result ok = run({QStringLiteral("--demo-db"), path("demo.db")});
    EXPECT_EQ(ok.exitCode, 0) << ok.err.toStdString();
    EXPECT_TRUE(QFileInfo(path("demo.db")).size() > 0);

    const Result bad = run({QStringLiteral("--demo-db"), path("fehlt/demo.db")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Demo-Datenbank")));
}

TEST_F(HeadlessRun, CsvRunOnTheDemoDatabaseExitsWithZero)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);

    const Result r = run({QStringLiteral("--run"),
                          QStringLiteral("--transfer"),
                          QStringLiteral("ole"),
                          QStringLiteral("--source"),
                          path("demo.db"),
                          QStringLiteral("--lib"),
                          QStringLiteral("LOVARLIB"),
                          QStringLiteral("--to"),
                          path("LA.csv"),
                          QStringLiteral("--output"),
                          QStringLiteral("csv")});

    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
    EXPECT_GT(QFileInfo(path("LA.csv")).size(), 0);
}

TEST_F(HeadlessRun, OverwriteQuestionWithoutYesCancelsAndFails)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    // The demo database holds several companies, so the first PDF file gets the number 001.
    {
        QFile existing(path("LA_001.pdf"));
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write("frueher erstellt");
    }

    const Result r = run({QStringLiteral("--run"),
                          QStringLiteral("--transfer"),
                          QStringLiteral("ole"),
                          QStringLiteral("--source"),
                          path("demo.db"),
                          QStringLiteral("--lib"),
                          QStringLiteral("LOVARLIB"),
                          QStringLiteral("--to"),
                          path("LA.pdf"),
                          QStringLiteral("--output"),
                          QStringLiteral("pdf")});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Datei überschreiben\nSoll die Datei \"") + path("LA_001.pdf") +
                                 QStringLiteral("\" überschrieben werden?\n\n")))
        << r.err.toStdString();
    QFile existing(path("LA_001.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("frueher erstellt"));
    EXPECT_FALSE(QFileInfo::exists(path("LA_002.pdf")));
}
