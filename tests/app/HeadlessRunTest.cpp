#include "support/AppTestEnvironment.h"
#include "support/HeadlessRunFixture.h"

TEST_F(HeadlessRun, HelpAndUsageErrors)
{
    const RunResult help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("lohnausweis --run [Optionen]")));
    EXPECT_TRUE(help.err.isEmpty());

    // Which arguments are usage errors is the command line's own test; here only how one ends.
    const RunResult r = run({QStringLiteral("--unbekannt")});
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
    const RunResult r = run({QStringLiteral("--run"), QStringLiteral("--source"), {}, QStringLiteral("--lib=ANDERE")});

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

TEST_F(HeadlessRun, RunsOnTheDemoDatabase)
{
    // Neither a missing folder nor a folder can take the database; a file in its place is replaced.
    for (const QString& bad : {path("fehlt/demo.db"), tempDir()}) {
        const RunResult r = run({QStringLiteral("--demo-db"), bad});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Demo-Datenbank")));
    }
    EXPECT_TRUE(QFileInfo(tempDir()).isDir());
    QFile junk(path("demo.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("keine Datenbank");
    junk.close();
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    EXPECT_FALSE(QFileInfo::exists(path("demo.db.tmp")));

    // A bare file name in the current folder is the embedded database as well.
    const RunResult csv = runOle(QStringLiteral("demo.db"), "LA.csv", "csv");
    EXPECT_EQ(csv.exitCode, 0);
    EXPECT_TRUE(csv.err.isEmpty()) << csv.err.toStdString();
    EXPECT_GT(QFileInfo(path("LA.csv")).size(), 0);

    // ODBC given wins over the stored OLE: no data source of that name, so the run fails.
    clsRegistryHandler store;
    store.SaveSettingLong(QStringLiteral("Medium"), 1);
    const RunResult odbc =
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
    const RunResult pdf = runOle(path("demo.db"), "LA.pdf", "pdf", "--open-pdf");
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

TEST_F(HeadlessRun, ChecksTheDemoDatabaseWithoutWritingAnOutput)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    const QStringList check = QStringLiteral("--check --transfer ole --lib DEMO --source").split(u' ')
                              << path("demo.db");
    const QString totals = QStringLiteral("41 Lohnausweise geprüft: 2 Fehler, 12 Hinweise\n");

    const RunResult table = run(check);
    EXPECT_EQ(table.exitCode, 1); // the demo holds two errors
    EXPECT_TRUE(table.err.isEmpty()) << table.err.toStdString();
    const QStringList lines = table.out.split(u'\n');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Schweregrad  Firma"))) << lines.first().toStdString();
    EXPECT_EQ(lines.size(), 1 + 14 + 2); // captions, findings, totals, nothing after the last line end
    EXPECT_TRUE(table.out.contains(QStringLiteral("Ziffer 8 (56'900.00) ist nicht die Summe der Ziffern 1–7 "
                                                  "(55'900.00).")));
    EXPECT_TRUE(table.out.endsWith(totals));

    const RunResult csv = run(QStringList(check) << QStringLiteral("--to") << path("befunde.CSV"));
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

    const RunResult text = run(QStringList(check) << QStringLiteral("--to") << path("befunde.txt"));
    QFile textFile(path("befunde.txt"));
    ASSERT_TRUE(textFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(textFile.readAll()), table.out);
    EXPECT_EQ(text.out, totals);

    const RunResult missing = run(QStringList(check) << QStringLiteral("--source") << path("fehlt.db"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("clsADOConnect.init"))) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(run({QStringLiteral("--check"), QStringLiteral("--output"), QStringLiteral("pdf")}).exitCode, 2);
}
