#include "AppTestEnvironment.h"
#include "db/DemoDatabase.h"
#include "platform/clsRegistryHandler.h"
#include "support/HangingProgram.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program without a display, on the store and temporary directory of the test.
class HeadlessRun : public AppTest
{
protected:
    void start(QProcess& process, const QStringList& arguments) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : QStringLiteral("DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LOHNAUSWEIS_USER "
                                                  "LOHNAUSWEIS_PASSWORD LOHNAUSWEIS_PDF_PASSWORD")
                                       .split(u' '))
            env.remove(name);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
    }

    static Result finish(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    Result run(const QStringList& arguments) const
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }

    // A run with the transfer type OLE, which reads the SQLite file named as the source.
    QStringList oleArguments(const char* source, const char* toFile, const char* output) const
    {
        return QStringLiteral("--run --transfer ole --lib LOVARLIB --output").split(u' ')
               << QString::fromLatin1(output) << QStringLiteral("--source") << path(source) << QStringLiteral("--to")
               << path(toFile);
    }
    Result runOle(const char* source, const char* toFile, const char* output) const
    {
        return run(oleArguments(source, toFile, output));
    }

    QString path(const char* name) const { return tempDir() + u'/' + QString::fromLatin1(name); }
};

} // namespace

TEST_F(HeadlessRun, HelpAndUsageErrors)
{
    const Result help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("lohnausweis --run [Optionen]")));
    EXPECT_TRUE(help.err.isEmpty());

    for (const char* arguments : {"--unbekannt", "--run --output doc", "--lib LOVARLIB"}) {
        const Result r = run(QString::fromLatin1(arguments).split(u' '));
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_TRUE(r.err.contains(QStringLiteral("Aufruf:"))) << arguments;
        EXPECT_TRUE(r.out.isEmpty()) << arguments;
    }
}

TEST_F(HeadlessRun, ParameterBoxesOnStandardErrorAndTheStoreUnchanged)
{
    {
        clsRegistryHandler store;
        store.SaveSettingString(QStringLiteral("Source"), QStringLiteral("S44A1234"));
        store.SaveSettingString(QStringLiteral("Lib"), QStringLiteral("LOVARLIB"));
        store.SaveSettingLong(QStringLiteral("Output PDF"), -1);
    }

    // The empty source given counts; the missing output file is taken from the store, which has none.
    const Result r = run({QStringLiteral("--run"), QStringLiteral("--source"), {}, QStringLiteral("--lib=ANDERE")});

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              QStringLiteral("Parameter prüfen\nBei der ausgewählten Option muss ein Pfad angegeben werden.\n\n"
                             "Parameter prüfen\nEs muss ein Verzeichnis und ein Dateiname für die DTA-Datei "
                             "angegeben werden.\n\n"));
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    // The window of a headless run is never closed, so nothing of the run is stored.
    clsRegistryHandler store;
    EXPECT_EQ(store.GetSettingString(QStringLiteral("Source")), QStringLiteral("S44A1234"));
    EXPECT_EQ(store.GetSettingString(QStringLiteral("Lib")), QStringLiteral("LOVARLIB"));
}

TEST_F(HeadlessRun, FailingRunShowsItsErrorBoxAsPlainLines)
{
    const Result r = runOle("fehlt.db", "LA.csv", "csv");

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : clsADOConnect.init\n"
                                                "Fehlernummer: ")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(path("fehlt.db")));
    EXPECT_TRUE(r.err.endsWith(QStringLiteral("\n\n")));
    // Neither CR from the box texts nor a progress line: standard error is no terminal here.
    EXPECT_FALSE(r.err.contains(u'\r'));
    // Opening a missing database must not create an empty one.
    EXPECT_FALSE(QFileInfo::exists(path("fehlt.db")));
}

TEST_F(HeadlessRun, RunsOnTheDemoDatabase)
{
    const Result bad = run({QStringLiteral("--demo-db"), path("fehlt/demo.db")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Demo-Datenbank")));
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);

    const Result csv = runOle("demo.db", "LA.csv", "csv");
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_TRUE(csv.err.isEmpty()) << csv.err.toStdString();
    EXPECT_GT(QFileInfo(path("LA.csv")).size(), 0);

    // Without --yes the overwrite question is answered with Cancel: the run fails and keeps the file.
    // The demo database holds several companies, so the first PDF file gets the number 001.
    QFile existing(path("LA_001.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("frueher erstellt");
    existing.close();
    const Result pdf = runOle("demo.db", "LA.pdf", "pdf");
    EXPECT_EQ(pdf.exitCode, 1);
    EXPECT_TRUE(pdf.err.startsWith(
        QStringLiteral("Datei überschreiben\nSoll die Datei \"%1\" überschrieben werden?\n\n").arg(path("LA_001.pdf"))))
        << pdf.err.toStdString();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("frueher erstellt"));
    EXPECT_FALSE(QFileInfo::exists(path("LA_002.pdf")));
}

TEST_F(HeadlessRun, TerminationSignalsCancelARunWaitingForTheFormatterAndTidyUp)
{
    writeDemoDatabase(path("demo.db"));
    const HangingProgram hanging(tempDir());
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), hanging.path());
    for (const auto& [number, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        SCOPED_TRACE(number);
        QFile::remove(tempDir() + QStringLiteral("/hang.pids"));
        QProcess process;
        start(process, oleArguments("demo.db", "LA.pdf", "pdf"));
        for (int i = 0; i < 3000 && !hanging.running() && process.state() == QProcess::Running; ++i)
            QThread::msleep(20);
        ASSERT_TRUE(hanging.running());
        ASSERT_EQ(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).size(), 1);
        ::kill(pid_t(process.processId()), number);

        const Result r = finish(process);
        EXPECT_EQ(r.exitCode, status);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Der Lauf wurde abgebrochen."))) << r.err.toStdString();
        EXPECT_TRUE(HangingProgram::ended(hanging.processIds()));
        EXPECT_TRUE(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("LA_001.pdf")));
    }
}
