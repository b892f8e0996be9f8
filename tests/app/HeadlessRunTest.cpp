#include "AppTestEnvironment.h"
#include "platform/clsRegistryHandler.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

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
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // A run with the transfer type OLE, which reads the SQLite file named as the source.
    Result runOle(const char* source, const char* toFile, const char* output) const
    {
        return run(QStringLiteral("--run --transfer ole --lib LOVARLIB --output").split(u' ')
                   << QString::fromLatin1(output) << QStringLiteral("--source") << path(source)
                   << QStringLiteral("--to") << path(toFile));
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

TEST_F(HeadlessRun, ChecksTheDemoDatabaseWithoutWritingAnOutput)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    const QStringList check = QStringLiteral("--check --transfer ole --lib DEMO --source").split(u' ')
                              << path("demo.db");
    const QString totals = QStringLiteral("41 Lohnausweise geprüft: 2 Fehler, 12 Hinweise\n");

    const Result table = run(check);
    EXPECT_EQ(table.exitCode, 1); // the demo holds two errors
    EXPECT_TRUE(table.err.isEmpty()) << table.err.toStdString();
    const QStringList lines = table.out.split(u'\n');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Schweregrad  Firma"))) << lines.first().toStdString();
    EXPECT_EQ(lines.size(), 1 + 14 + 2); // captions, findings, totals, nothing after the last line end
    EXPECT_TRUE(table.out.contains(QStringLiteral("Ziffer 8 (56'900.00) ist nicht die Summe der Ziffern 1–7 "
                                                  "(55'900.00).")));
    EXPECT_TRUE(table.out.endsWith(totals));

    const Result csv = run(QStringList(check) << QStringLiteral("--to") << path("befunde.CSV"));
    EXPECT_EQ(csv.exitCode, 1);
    EXPECT_EQ(csv.out, totals);
    QFile csvFile(path("befunde.CSV"));
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    const QByteArray csvBytes = csvFile.readAll();
    EXPECT_TRUE(csvBytes.startsWith("\xEF\xBB\xBF")); // the byte order mark tells spreadsheets it is UTF-8
    const QStringList csvLines = QString::fromUtf8(csvBytes).split(QStringLiteral("\r\n"));
    EXPECT_EQ(csvLines.first(), QStringLiteral("Schweregrad;Firma;Mitarbeiter;Neue AHV-Nr.;Regel;Text"));
    EXPECT_EQ(csvLines.size(), 1 + 14 + 1);
    EXPECT_TRUE(csvLines.contains(QStringLiteral("Fehler;Alpenblick Treuhand AG;Müller Anna;756.1328.2136.32;"
                                                 "Neue AHV-Nummer;Die Prüfziffer der neuen AHV-Nummer "
                                                 "756.1328.2136.32 stimmt nicht.")));

    const Result text = run(QStringList(check) << QStringLiteral("--to") << path("befunde.txt"));
    QFile textFile(path("befunde.txt"));
    ASSERT_TRUE(textFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(textFile.readAll()), table.out);
    EXPECT_EQ(text.out, totals);

    const Result missing = run(QStringList(check) << QStringLiteral("--source") << path("fehlt.db"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("clsADOConnect.init"))) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(run({QStringLiteral("--check"), QStringLiteral("--output"), QStringLiteral("pdf")}).exitCode, 2);
}
