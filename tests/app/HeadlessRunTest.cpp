#include "support/AppTestEnvironment.h"
#include "platform/clsRegistryHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

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
    Result run(const QStringList& arguments) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : QStringLiteral("DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LOHNAUSWEIS_USER "
                                                  "LOHNAUSWEIS_PASSWORD LOHNAUSWEIS_PDF_PASSWORD")
                                       .split(u' '))
            env.remove(name);
        // A stand-in for the desktop's "Open" goes first on the path: it records what the run opens.
        env.insert(QStringLiteral("PATH"), tempDir() + QStringLiteral("/bin:") + env.value(QStringLiteral("PATH")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(tempDir());
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // A run with the transfer type OLE, which reads the SQLite file named as the source.
    Result runOle(const QString& source, const char* toFile, const char* output, const char* more = "") const
    {
        return run(QStringLiteral("--run --transfer ole --lib LOVARLIB --output").split(u' ')
                   << QString::fromLatin1(output) << QStringLiteral("--source") << source << QStringLiteral("--to")
                   << path(toFile) << QString::fromLatin1(more).split(u' ', Qt::SkipEmptyParts));
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

    // Which arguments are usage errors is the command line's own test; here only how one ends.
    const Result r = run({QStringLiteral("--unbekannt")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Aufruf:")));
    EXPECT_TRUE(r.out.isEmpty());
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
    const Result r = runOle(path("fehlt.db"), "LA.csv", "csv");

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

    // A bare file name in the current folder is the embedded database as well.
    const Result csv = runOle(QStringLiteral("demo.db"), "LA.csv", "csv");
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_TRUE(csv.err.isEmpty()) << csv.err.toStdString();
    EXPECT_GT(QFileInfo(path("LA.csv")).size(), 0);

    // ODBC given wins over the stored OLE: no data source of that name, so the run fails.
    clsRegistryHandler store;
    store.SaveSettingLong(QStringLiteral("Medium"), 1);
    const Result odbc =
        run(QStringLiteral("--run --transfer odbc --source demo.db --lib LOVARLIB --output csv --to").split(u' ')
            << path("LA2.csv"));
    EXPECT_EQ(odbc.exitCode, 1);
    EXPECT_TRUE(odbc.err.contains(QStringLiteral("clsADOConnect.init"))) << odbc.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("LA2.csv")));

    // Without --yes the overwrite question is answered with Cancel: the run fails and keeps the file.
    // The demo database holds several companies, so the first PDF file gets the number 001.
    QFile existing(path("LA_001.pdf"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("frueher erstellt");
    existing.close();
    const Result pdf = runOle(path("demo.db"), "LA.pdf", "pdf", "--open-pdf");
    EXPECT_EQ(pdf.exitCode, 1);
    EXPECT_TRUE(pdf.err.startsWith(
        QStringLiteral("Datei überschreiben\nSoll die Datei \"%1\" überschrieben werden?\n\n").arg(path("LA_001.pdf"))))
        << pdf.err.toStdString();
    ASSERT_TRUE(existing.open(QIODevice::ReadOnly));
    EXPECT_EQ(existing.readAll(), QByteArray("frueher erstellt"));
    EXPECT_FALSE(QFileInfo::exists(path("LA_002.pdf")));

    // With --yes and --open-pdf every file is rendered and opened.
    store.SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    store.SaveSettingString(QStringLiteral("XSL"), path("demo.db")); // any file: the stand-in ignores it
    const QString opened = tempDir() + QStringLiteral("/bin/opened");
    ASSERT_TRUE(QDir().mkpath(tempDir() + QStringLiteral("/bin")));
    QFile open(tempDir() + QStringLiteral("/bin/xdg-open"));
    ASSERT_TRUE(open.open(QIODevice::WriteOnly));
    open.write(QStringLiteral("#!/bin/sh\necho \"$1\" >> '%1'\n").arg(opened).toUtf8());
    open.close();
    open.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(runOle(path("demo.db"), "LA.pdf", "pdf", "--open-pdf --yes").exitCode, 0);
    QFile record(opened);
    // The viewer is started without waiting for it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return record.size() > 0; }, 5000));
    ASSERT_TRUE(record.open(QIODevice::ReadOnly));
    EXPECT_TRUE(record.readAll().startsWith(path("LA_001.pdf").toUtf8() + '\n'));
}
