#include "db/DemoDatabase.h"
#include "platform/OutputLock.h"
#include "support/AppTestEnvironment.h"
#include "support/CsvPayroll.h"
#include "support/FrozenServer.h"
#include "support/HangingProgram.h"
#include "support/HeadlessRunFixture.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QMap>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <sqlite3.h>
#include <unistd.h>

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
    // Files per employee with the stored output kind the import file: nothing runs.
    clsRegistryHandler().SaveSettingLong(QStringLiteral("Output eLohnausweis"), -1);
    const RunResult csv = run({QStringLiteral("--run"), QStringLiteral("--per-employee")});
    EXPECT_EQ(csv.exitCode, 2);
    EXPECT_TRUE(csv.err.contains(QStringLiteral("--output pdf"))) << csv.err.toStdString();
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
    EXPECT_EQ(modeOf(path("LA.csv")), 0600);
    // What was written, on standard output: the file, then the totals.
    const QList<QStringList> lines = summary(csv);
    ASSERT_EQ(lines.size(), 2) << csv.out.toStdString();
    EXPECT_EQ(lines[0].value(0), path("LA.csv"));
    EXPECT_EQ(lines[1].mid(0, 4), (QStringList{"Total", "1 Datei"} + lines[0].mid(1, 2)));

    // ODBC given wins over the stored OLE: no data source of that name, so the run fails.
    clsRegistryHandler store;
    store.SaveSettingLong(QStringLiteral("Medium"), 1);
    const RunResult odbc =
        run(QStringLiteral("--run --transfer odbc --source demo.db --lib LOVARLIB --output csv --to").split(u' ')
            << path("LA2.csv"));
    EXPECT_EQ(odbc.exitCode, 1);
    EXPECT_TRUE(odbc.err.contains(QStringLiteral("clsADOConnect.init"))) << odbc.err.toStdString();
    EXPECT_TRUE(odbc.out.isEmpty()); // a failed run reports no file written
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

// With the test formatter: a second run to the same output is refused while the first is busy, the
// first writes every file and lists them; a formatter that crashes half-way leaves no file behind.
TEST_F(HeadlessRun, PdfRunsWithTheTestFormatter)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("OutputFileMode"), QStringLiteral("0640"));
    const QStringList arguments = oleArguments(path("demo.db"), path("LA.pdf"), "pdf") << QStringLiteral("--yes");

    qputenv("FAKE_FOP_SLEEP", "1");
    const std::unique_ptr<QProcess> first = start(arguments);
    qunsetenv("FAKE_FOP_SLEEP");
    // The first run holds the lock from its start to its end.
    while (!QFileInfo::exists(OutputLock::lockFileFor(path("LA.pdf"))) && first->state() == QProcess::Running)
        first->waitForFinished(10);
    const RunResult refused = run(arguments);
    const RunResult done = finish(*first);

    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("Die Datei \"%1\" wird gerade von einem anderen Lauf geschrieben").arg(path("LA.pdf"))))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(done.exitCode, 0) << done.err.toStdString();
    const QList<QStringList> lines = summary(done);
    const QStringList pdfs = QDir(tempDir()).entryList({QStringLiteral("LA_*.pdf")}, QDir::Files, QDir::Name);
    ASSERT_GE(pdfs.size(), 2);
    ASSERT_EQ(lines.size(), pdfs.size() + 1) << done.out.toStdString();
    EXPECT_EQ(lines[0].value(0), path("LA_001.pdf"));
    // The totals add up every file: the demo's three companies and 41 certificates.
    EXPECT_EQ(lines.last().mid(0, 3), (QStringList{"Total", "3 Dateien", "41 Lohnausweise"}));
    for (const QString& pdf : pdfs)
        EXPECT_EQ(modeOf(path(pdf.toLatin1())), 0640) << pdf.toStdString();
    EXPECT_FALSE(QFileInfo::exists(OutputLock::lockFileFor(path("LA.pdf"))));
    // The run log ends with the same lines; the refused run left it alone.
    QFile log(logPath());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll()).endsWith(QString(done.out).replace(u'\n', QStringLiteral("\r\n"))));

    const QByteArray previous = readBytes(path("LA_001.pdf"));
    qputenv("FAKE_FOP_FAIL", "crash");
    qputenv("FAKE_FOP_FAIL_ON", "Alpenblick Treuhand AG"); // the first company
    // A password that looks like an option is a password like any other.
    const RunResult crashed = run(QStringList(arguments) << QStringLiteral("--pdf-password") << QStringLiteral("-o"));
    qunsetenv("FAKE_FOP_FAIL");
    qunsetenv("FAKE_FOP_FAIL_ON");
    EXPECT_EQ(crashed.exitCode, 1);
    EXPECT_TRUE(crashed.err.contains(QStringLiteral("Fehler\nPDF-Datei konnte nicht erstellt werden.\nDatei: %1\n"
                                                    "Grund: Exitstatus 137\nProtokoll: %2\n\n")
                                         .arg(path("LA_001.pdf"), logPath())))
        << crashed.err.toStdString();
    EXPECT_EQ(readBytes(path("LA_001.pdf")), previous); // the last good file stays
    EXPECT_EQ(summary(crashed).size(), pdfs.size());    // the other files and the totals
    EXPECT_EQ(QProcess::execute(QStringLiteral("qpdf"), {QStringLiteral("--requires-password"), path("LA_002.pdf")}),
              0);
}

// Killed in the middle of writing, a CSV run leaves the previous file byte for byte and nothing beside
// it; the lock it held does not block the next run. A termination signal cancels it at the next row
// with the same result.
TEST_F(HeadlessRun, KilledOrCancelledCsvRunLeavesThePreviousFile)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("big.db")}).exitCode, 0);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path("big.db")).constData(), &db), SQLITE_OK);
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(sqlite3_exec(db, "INSERT INTO LGHLAEXP SELECT * FROM LGHLAEXP", nullptr, nullptr, nullptr),
                      SQLITE_OK);
        sqlite3_close(db);
    }
    const QString out = tempDir() + QStringLiteral("/out");
    ASSERT_TRUE(QDir().mkpath(out));
    QFile previous(out + QStringLiteral("/LA.csv"));
    ASSERT_TRUE(previous.open(QIODevice::WriteOnly) && previous.write("voriger Lauf\r\n") == 14);
    previous.close();

    for (const int signal : {SIGKILL, SIGTERM}) {
        SCOPED_TRACE(signal);
        const std::unique_ptr<QProcess> running =
            start(oleArguments(path("big.db"), previous.fileName(), "csv") << QStringLiteral("--yes"));
        // Signalled once it has its new file open in the target folder.
        const std::string fds = "/proc/" + std::to_string(running->processId()) + "/fd";
        const std::string nameless = QFile::encodeName(out).toStdString() + "/#";
        bool writing = false;
        while (!writing && !running->waitForFinished(1)) {
            std::error_code ignored;
            for (const auto& fd : std::filesystem::directory_iterator(fds, ignored))
                writing = writing || std::filesystem::read_symlink(fd.path(), ignored).string().starts_with(nameless);
        }
        ASSERT_TRUE(writing) << "the run ended before it was signalled";
        // Never 0, which would signal the whole process group, the test runner with it.
        ASSERT_GT(running->processId(), 0);
        ::kill(pid_t(running->processId()), signal);
        if (signal == SIGTERM) {
            const RunResult r = finish(*running);
            EXPECT_EQ(r.exitCode, 143);
            EXPECT_TRUE(r.err.contains(QStringLiteral("Der Lauf wurde abgebrochen."))) << r.err.toStdString();
            EXPECT_TRUE(r.out.isEmpty());
        }
        running->waitForFinished();

        ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
        EXPECT_EQ(previous.readAll(), QByteArray("voriger Lauf\r\n"));
        previous.close();
        // Only a killed run leaves its (no longer locked) lock file.
        EXPECT_EQ(QDir(out).entryList(signal == SIGKILL ? QDir::Files : QDir::Files | QDir::Hidden),
                  QStringList{"LA.csv"});
    }

    const RunResult next = run(oleArguments(path("big.db"), previous.fileName(), "csv") << QStringLiteral("--yes"));
    EXPECT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), QStringList{"LA.csv"});
}

// The real formatter running out of memory: the box with its error line, exit status 1, no file.
TEST_F(HeadlessRun, RealFormatterOutOfMemory)
{
    if (QStandardPaths::findExecutable(QStringLiteral("fop")).isEmpty()) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "fop fehlt";
        GTEST_SKIP() << "fop fehlt (Paket fop)";
    }
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    // Debian's fop script hands JAVA_ARGS to the JVM, Apache's own FOP_OPTS.
    qputenv("JAVA_ARGS", "-Xmx8m");
    qputenv("FOP_OPTS", "-Xmx8m");
    const RunResult r = run(oleArguments(path("demo.db"), path("LA.pdf"), "pdf"));
    qunsetenv("JAVA_ARGS");
    qunsetenv("FOP_OPTS");

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Fehler\nPDF-Datei konnte nicht erstellt werden.\nDatei: %1\n"
                                                "Grund: java.lang.OutOfMemoryError: Java heap space; Exitstatus 1\n"
                                                "Protokoll: %2\n\n")
                                     .arg(path("LA_001.pdf"), logPath())))
        << r.err.toStdString();
    EXPECT_TRUE(QDir(tempDir()).entryList({QStringLiteral("*.pdf")}, QDir::Files).isEmpty());
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(HeadlessRun, TerminationSignalsCancelARunWaitingForTheFormatterAndTidyUp)
{
    writeDemoDatabase(path("demo.db"));
    const HangingProgram hanging(tempDir());
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), hanging.path());
    // One formatter at a time, so that one document hangs; side-by-side jobs are the PDF run's test.
    clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), 1);
    for (const auto& [number, status] : {std::pair{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}}) {
        SCOPED_TRACE(number);
        QFile::remove(tempDir() + QStringLiteral("/hang.pids"));
        QProcess process;
        start(process, oleArguments(path("demo.db"), "LA.pdf", "pdf"));
        for (int i = 0; i < 3000 && !hanging.running() && process.state() == QProcess::Running; ++i)
            QThread::msleep(20);
        ASSERT_TRUE(hanging.running());
        ASSERT_EQ(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).size(), 1);
        ::kill(pid_t(process.processId()), number);

        const RunResult r = finish(process);
        EXPECT_EQ(r.exitCode, status);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Der Lauf wurde abgebrochen."))) << r.err.toStdString();
        EXPECT_TRUE(HangingProgram::ended(hanging.processIds()));
        EXPECT_TRUE(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path("LA_001.pdf")));
    }
}

// A second signal while the cancel waits for a formatter that ignores SIGTERM ends the program at once
// (exit status 4) and still leaves nothing: no formatter, no temporary document, no PDF, no lock.
TEST_F(HeadlessRun, SecondSignalEndsTheProgramAtOnceAndTidyUp)
{
    writeDemoDatabase(path("demo.db"));
    const HangingProgram hanging(tempDir(), {.ignoresTerm = true});
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), hanging.path());
    clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), 1);
    QProcess process;
    start(process, oleArguments(path("demo.db"), "LA.pdf", "pdf"));
    for (int i = 0; i < 3000 && !hanging.running() && process.state() == QProcess::Running; ++i)
        QThread::msleep(20);
    ASSERT_TRUE(hanging.running());
    ::kill(pid_t(process.processId()), SIGTERM);
    QThread::msleep(200); // the cancel now waits for the formatter to go
    ::kill(pid_t(process.processId()), SIGINT);

    const RunResult r = finish(process);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(r.err.contains(QStringLiteral("durch ein zweites Signal sofort beendet"))) << r.err.toStdString();
    EXPECT_TRUE(HangingProgram::ended(hanging.processIds()));
    EXPECT_TRUE(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(path("LA_001.pdf")));
    EXPECT_FALSE(QFileInfo::exists(OutputLock::lockFileFor(path("LA.pdf"))));
}

// Killed with SIGKILL while the shipped launcher runs FOP (here a stand-in that becomes a long sleep, as
// Debian's fop script becomes Java), the program leaves no formatter behind; so also while the
// launcher makes its class-data archive, which it does in a call of its own.
TEST_F(HeadlessRun, NoFormatterOutlivesAKilledProgram)
{
    writeDemoDatabase(path("demo.db"));
    ASSERT_TRUE(QDir().mkpath(tempDir() + QStringLiteral("/bin")));
    const HangingProgram fop(tempDir() + QStringLiteral("/bin"), {.execsSleep = true, .name = QStringLiteral("fop")});
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_BINARY_DIR "/fop/fop"));
    clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), 1);
    QTemporaryDir cache(QStringLiteral(LA_BINARY_DIR "/killed-cache-XXXXXX"));
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    QProcess process;
    start(process, oleArguments(path("demo.db"), "LA.pdf", "pdf"));
    qunsetenv("XDG_CACHE_HOME");
    for (int i = 0; i < 3000 && !fop.running() && process.state() == QProcess::Running; ++i)
        QThread::msleep(20);
    ASSERT_TRUE(fop.running());
    ::kill(pid_t(process.processId()), SIGKILL);
    process.waitForFinished();
    EXPECT_TRUE(HangingProgram::ended(fop.processIds()));
}

// With DbTimeout 0 (no limit) a server that stops answering would hold the run for ever; a termination
// signal still ends it within seconds, with the forced clean-up, the signal's exit status, the previous
// import file, no lock file and no word of a time limit.
TEST_F(HeadlessRun, SignalEndsARunWaitingForAFrozenServer)
{
    QString whyNot;
    const std::unique_ptr<TestDatabase> db = openTestDatabase(TestDatabaseKind::MariaDb, &whyNot);
    if (!db) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << qPrintable(whyNot);
        GTEST_SKIP() << qPrintable(whyNot);
    }
    fillPayroll(*db);
    clsRegistryHandler().SaveSettingLong(QStringLiteral("DbTimeout"), 0);
    writeBytes(path("LA.csv"), "voriger Lauf");
    QProcess process;
    RunResult r;
    {
        const FrozenServer frozen(*MariaDbServer::instance(nullptr));
        start(process,
              QStringLiteral("--run --transfer odbc --output csv --yes --source").split(u' ')
                  << MariaDbServer::dsn() << QStringLiteral("--lib") << db->library() << QStringLiteral("--user")
                  << MariaDbServer::user() << QStringLiteral("--password") << MariaDbServer::password()
                  << QStringLiteral("--to") << path("LA.csv"));
        QThread::msleep(1000); // it waits for the server now
        ::kill(pid_t(process.processId()), SIGTERM);
        r = finish(process);
    }
    EXPECT_EQ(r.exitCode, 143);
    EXPECT_TRUE(r.err.contains(QStringLiteral("ohne auf die Antwort der Datenbank zu warten"))) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains(QStringLiteral("Zeitlimit")));
    EXPECT_EQ(readBytes(path("LA.csv")), QByteArray("voriger Lauf"));
    EXPECT_FALSE(QFileInfo::exists(OutputLock::lockFileFor(path("LA.csv"))));
}

TEST_F(HeadlessRun, ChecksTheDemoDatabaseWithoutWritingAnOutput)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    const QStringList check = QStringLiteral("--check --transfer ole --lib DEMO --source").split(u' ')
                              << path("demo.db");
    const QString totals = QStringLiteral("41 Lohnausweise geprüft: 2 Fehler, 10 Hinweise\n");

    const RunResult table = run(check);
    EXPECT_EQ(table.exitCode, 1); // the demo holds two errors
    EXPECT_TRUE(table.err.isEmpty()) << table.err.toStdString();
    const QStringList lines = table.out.split(u'\n');
    EXPECT_TRUE(lines.first().startsWith(QStringLiteral("Schweregrad  Firma"))) << lines.first().toStdString();
    EXPECT_EQ(lines.size(), 1 + 12 + 2); // captions, findings, totals, nothing after the last line end
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
    EXPECT_EQ(csvLines.size(), 1 + 12 + 1);
    EXPECT_TRUE(csvLines.contains(QStringLiteral("Fehler;Alpenblick Treuhand AG;Müller Anna;756.1328.2136.32;"
                                                 "Neue AHV-Nummer;Die Prüfziffer der neuen AHV-Nummer "
                                                 "756.1328.2136.32 stimmt nicht.")));

    const RunResult text = run(QStringList(check) << QStringLiteral("--to") << path("befunde.txt"));
    EXPECT_EQ(QString::fromUtf8(readBytes(path("befunde.txt"))), table.out);
    EXPECT_EQ(modeOf(path("befunde.txt")), 0600);
    EXPECT_EQ(text.out, totals);

    // An existing report is asked about as a run's output is; a link at its name (planted in a shared
    // folder) is replaced, never written through.
    const RunResult asked = run(QStringList(check) << QStringLiteral("--to") << path("befunde.CSV"));
    EXPECT_EQ(asked.exitCode, 3); // not checked, which a script must not take for "errors found"
    EXPECT_TRUE(asked.err.startsWith(
        QStringLiteral("Datei überschreiben\nSoll die Datei \"%1\" überschrieben werden?").arg(path("befunde.CSV"))));
    EXPECT_EQ(readBytes(path("befunde.CSV")), csvBytes);
    writeBytes(path("bashrc"), "eigene Datei");
    ASSERT_TRUE(QFile::remove(path("befunde.txt")) && QFile::link(path("bashrc"), path("befunde.txt")));
    EXPECT_EQ(run(QStringList(check) << "--to" << path("befunde.txt") << "--yes").exitCode, 1);
    EXPECT_EQ(readBytes(path("bashrc")), QByteArray("eigene Datei"));
    EXPECT_EQ(QString::fromUtf8(readBytes(path("befunde.txt"))), table.out);
    const RunResult folder = run(QStringList(check) << QStringLiteral("--to") << tempDir());
    EXPECT_EQ(folder.exitCode, 3);
    EXPECT_TRUE(folder.err.contains(QStringLiteral("Unter dem Namen \"%1\" steht ein Ordner").arg(tempDir())))
        << folder.err.toStdString();

    const RunResult missing = run(QStringList(check) << QStringLiteral("--source") << path("fehlt.db"));
    EXPECT_EQ(missing.exitCode, 3); // not checked, which is no finding about the data
    EXPECT_TRUE(missing.err.contains(QStringLiteral("clsADOConnect.init"))) << missing.err.toStdString();
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_EQ(run({QStringLiteral("--check"), QStringLiteral("--output"), QStringLiteral("pdf")}).exitCode, 2);
}

// On a full disk the report cannot be written whole: the check fails saying so, the previous report stays.
TEST_F(HeadlessRun, CheckReportOnAFullDiskFailsAndKeepsThePreviousReport)
{
    const QString disk = path("disk");
    QDir().mkpath(disk);
    if (::geteuid() != 0 ||
        QProcess::execute(QStringLiteral("mount"), {"-t", "tmpfs", "-o", "size=64k", "tmpfs", disk}))
        GTEST_SKIP() << "a small file system for the full disk needs root (mount -t tmpfs)";
    const auto unmount = qScopeGuard([&] { QProcess::execute(QStringLiteral("umount"), {disk}); });
    writeDemoDatabase(path("demo.db"));
    const QString report = disk + QStringLiteral("/befunde.txt");
    writeBytes(report, "voriger Bericht");
    QFile fill(disk + QStringLiteral("/voll"));
    ASSERT_TRUE(fill.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (fill.write(QByteArray(4096, 'x')) == 4096) {
    }

    const RunResult r = run(QStringLiteral("--check --transfer ole --lib DEMO --yes --to").split(u' ')
                            << report << QStringLiteral("--source") << path("demo.db"));
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Datenträger voll: ") + report)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(readBytes(report), QByteArray("voriger Bericht"));
}

// A FIFO that another user put at the name of a PDF or of the lock file ends nothing in a hang: the PDF
// takes its place, the lock file is refused with a message.
TEST_F(HeadlessRun, PlantedFifosNeverBlockARun)
{
    writeDemoDatabase(path("demo.db"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    const struct
    {
        const char* name;
        int exitCode;
        const char* message;
    } cases[] = {
        {"LA_001.pdf", 0, ""},
        {".LA.pdf.lock", 1, "(sie ist keine gewöhnliche Datei)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(::mkfifo(QFile::encodeName(path(c.name)).constData(), 0666), 0);
        const RunResult r = runOle(path("demo.db"), "LA.pdf", "pdf", "--yes");
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        const QFileInfo fifo(path(c.name));
        EXPECT_EQ(fifo.isFile(), c.exitCode == 0);
        QFile::remove(path(c.name));
    }
}

// Killed while the formatter renders, a PDF run leaves the earlier run's PDFs byte for byte and nothing
// beside them; its temporary files go at the next start.
TEST_F(HeadlessRun, KilledPdfRunLeavesThePreviousFiles)
{
    writeDemoDatabase(path("demo.db"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    const QString out = path("out");
    QDir().mkpath(out);
    const QStringList previous = {"LA_001.pdf", "LA_002.pdf", "LA_003.pdf"};
    for (const QString& name : previous)
        writeBytes(out + u'/' + name, name.toUtf8());
    const QString calls = path("calls");
    const ScopedEnv record("FAKE_FOP_ARGV", calls);
    const ScopedEnv slow("FAKE_FOP_SLEEP", QStringLiteral("60"));
    const QStringList arguments = oleArguments(
        path("demo.db"), out + QStringLiteral("/LA.pdf"), "pdf", "--yes --pdf-password=geheim --password geheim");
    const std::unique_ptr<QProcess> running = start(arguments);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo(calls).size() > 0; }, 20000));
    // Every user can read a command line: neither the program's nor the formatter's shows the passwords.
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        if (pid == QString::number(running->processId()) ||
            readBytes(QStringLiteral("/proc/%1/environ").arg(pid)).contains(QFile::encodeName(calls))) {
            EXPECT_FALSE(readBytes(QStringLiteral("/proc/%1/cmdline").arg(pid)).contains("geheim")) << pid.toInt();
        }
    }
    // Never 0, which would kill the whole process group, the test runner with it.
    ASSERT_GT(running->processId(), 0);
    ::kill(pid_t(running->processId()), SIGKILL);
    running->waitForFinished();
    // The stand-in formatter outlives the program here; it goes first, so that it writes nothing more.
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs))
        if (readBytes(QStringLiteral("/proc/%1/environ").arg(pid)).contains(QFile::encodeName(calls)))
            ::kill(pid.toInt(), SIGKILL);

    for (const QString& name : previous)
        EXPECT_EQ(readBytes(out + u'/' + name), name.toUtf8());
    EXPECT_EQ(QDir(out).entryList(QDir::Files), previous);
    const QStringList temporary = {QStringLiteral("tmp*.tmp"), QStringLiteral("pdf*.tmp")};
    const QStringList left = QDir(tempDir()).entryList(temporary, QDir::Files);
    EXPECT_GE(left.size(), 2) << left.join(u' ').toStdString(); // a document and its PDF per job
    for (const QString& name : left) {
        QFile file(tempDir() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addSecs(-120), QFileDevice::FileModificationTime);
    }

    const ScopedEnv quick("FAKE_FOP_SLEEP", std::nullopt);
    EXPECT_EQ(run(arguments).exitCode, 0);
    EXPECT_EQ(QDir(tempDir()).entryList(temporary, QDir::Files), QStringList());
    EXPECT_EQ(QDir(out).entryList(QDir::Files | QDir::Hidden), previous);
}

// The check before a run: errors stop it before any output file is asked about or touched, unless the
// command line says to write all the same; notices never stop it; the setting turns it off.
TEST_F(HeadlessRun, CheckBeforeTheRun)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("XSL"), path("demo.db")); // the stand-in ignores it
    const struct
    {
        const char* label;
        const char* output;
        const char* more;
        int setting;
        int exitCode;
        const char* checkTotals; // the last column of the Total line; null: nothing written
    } cases[] = {
        {"errors stop the import file", "csv", "", 1, 1, nullptr},
        {"errors stop the PDF run", "pdf", "", 1, 1, nullptr},
        {"written all the same", "csv", "--ignore-check-errors", 1, 0, "2 Fehler, 10 Hinweise"},
        {"a notice never stops", "csv", "--employee 756.1609.1508.53", 1, 0, "0 Fehler, 1 Hinweis"},
        {"the setting turns it off", "csv", "", 0, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), c.setting);
        const QString target = path(QByteArray(c.output) == "pdf" ? "LA_001.pdf" : "LA.csv");
        writeBytes(target, "voriger Lauf");
        const RunResult r = runOle(path("demo.db"),
                                   QByteArray(c.output) == "pdf" ? "LA.pdf" : "LA.csv",
                                   c.output,
                                   (QByteArray(c.more) + " --yes").constData());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        const bool stopped = !c.checkTotals;
        EXPECT_EQ(readBytes(target) == "voriger Lauf", stopped);
        EXPECT_TRUE(QDir(tempDir()).entryList({QStringLiteral("tmp*.tmp")}).isEmpty());
        if (stopped) {
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(r.err.contains(
                QStringLiteral("Die Prüfung vor dem Lauf hat 2 Fehler gefunden (41 Lohnausweise geprüft).\n"
                               "Alpenblick Treuhand AG, Meier Hans – Summe Ziffer 8: Ziffer 8 (56'900.00) ist nicht "
                               "die Summe der Ziffern 1–7 (55'900.00).\nAlpenblick Treuhand AG, Müller Anna – Neue "
                               "AHV-Nummer: ")))
                << r.err.toStdString();
            continue;
        }
        const QList<QStringList> lines = summary(r);
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_EQ(lines.last().size(), *c.checkTotals ? 6 : 5);
        EXPECT_EQ(lines.last().value(5), QString::fromUtf8(c.checkTotals));
        EXPECT_EQ(r.err.contains(QStringLiteral("trotzdem geschrieben (--ignore-check-errors)")),
                  QByteArray(c.more) == "--ignore-check-errors")
            << r.err.toStdString();
    }
}

// --company and --employee restrict the run and the check; the values reach the database as bound
// parameters, so a quote or "%" is a character like any other; a selection of nothing is the error of
// an empty table, before the output file is touched.
TEST_F(HeadlessRun, SelectionRestrictsTheRunAndTheCheck)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    // Certificates per company, as the whole table gives them.
    ASSERT_EQ(runOle(path("demo.db"), "alle.csv", "csv", "--ignore-check-errors").exitCode, 0);
    QMap<QString, int> perCompany;
    QString company;
    for (const QString& line : QString::fromLatin1(readBytes(path("alle.csv"))).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(QStringLiteral("1;")))
            company = line.section(u';', 1, 1);
        perCompany[company] += line.startsWith(QStringLiteral("3;"));
    }
    const QString rhone = QStringLiteral("Rh\u00f4ne Transports SA");
    const QString bakery = QStringLiteral("B\u00e4ckerei M\u00fcller & S\u00f6hne GmbH");
    const struct
    {
        const char* label;
        QStringList options;
        int certificates; // 0: no row selected
        int companies;
    } cases[] = {
        {"one AHV number", {QStringLiteral("--employee"), QStringLiteral("756.1609.1508.53")}, 1, 1},
        {"two companies",
         {QStringLiteral("--company"), rhone, QStringLiteral("--company"), bakery + QStringLiteral("  ")},
         perCompany.value(rhone) + perCompany.value(bakery),
         2},
        {"a quote in the name", {QStringLiteral("--employee"), QStringLiteral("O'Neill Patrick")}, 1, 1},
        {"within its company",
         {QStringLiteral("--company"),
          QStringLiteral("Alpenblick Treuhand AG"),
          QStringLiteral("--employee"),
          QStringLiteral("Brunner Lea")},
         1,
         1},
        {"in another company",
         {QStringLiteral("--company"), rhone, QStringLiteral("--employee"), QStringLiteral("Brunner Lea")},
         0,
         0},
        {"a wildcard", {QStringLiteral("--employee"), QStringLiteral("%")}, 0, 0},
        {"a wildcard in a company", {QStringLiteral("--company"), QStringLiteral("Rh_ne%")}, 0, 0},
        {"a quote that would end the text", {QStringLiteral("--company"), QStringLiteral("x' OR '1'='1")}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        writeBytes(path("LA.csv"), "voriger Lauf");
        const RunResult r = run(oleArguments(path("demo.db"), path("LA.csv"), "csv", "--yes") << c.options);
        const QString written = QString::fromLatin1(readBytes(path("LA.csv")));
        if (c.certificates == 0) {
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_TRUE(r.err.contains(QStringLiteral("Es wurden keine Lohnausweisdaten zum importieren gefunden!\n"
                                                      "Die Auswahl trifft keinen Lohnausweis: ")))
                << r.err.toStdString();
            EXPECT_EQ(written, QStringLiteral("voriger Lauf"));
            continue;
        }
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(written.count(QStringLiteral("\r\n3;")), c.certificates);
        EXPECT_EQ(written.count(QRegularExpression(QStringLiteral("(^|\r\n)1;"))), c.companies);
    }

    // A PDF of one employee: that certificate alone, under the plain name.
    clsRegistryHandler().SaveSettingString(QStringLiteral("FOP"), QStringLiteral(LA_TEST_DATA_DIR "/fake-fop.sh"));
    clsRegistryHandler().SaveSettingString(QStringLiteral("XSL"), path("demo.db")); // the stand-in ignores it
    const RunResult pdf = run(oleArguments(path("demo.db"), path("Eine.pdf"), "pdf")
                              << QStringLiteral("--employee") << QStringLiteral("756.1609.1508.53"));
    EXPECT_EQ(pdf.exitCode, 0) << pdf.err.toStdString();
    const QByteArray one = readBytes(path("Eine.pdf"));
    EXPECT_EQ(one.count("<ns2:SV-AS-Number>"), 1);
    EXPECT_TRUE(one.contains("<ns2:SV-AS-Number>756.1609.1508.53<"));

    // The check takes the same options.
    const RunResult check =
        run(QStringLiteral("--check --transfer ole --lib DEMO --employee 756.1609.1508.53 --source").split(u' ')
            << path("demo.db"));
    EXPECT_EQ(check.exitCode, 0);
    EXPECT_TRUE(check.out.endsWith(QStringLiteral("1 Lohnausweis geprüft: 0 Fehler, 1 Hinweis\n")))
        << check.out.toStdString();
}

// The demo database with a file per employee, protected by the date of birth, with the real formatter:
// standard output names the company folders with their certificates and what protects the files, not
// 41 files; every certificate has its file, the second of one person with "_2", owner-only.
TEST_F(HeadlessRun, FilesPerEmployeeOfTheDemoDatabase)
{
    ASSERT_EQ(run({QStringLiteral("--demo-db"), path("demo.db")}).exitCode, 0);
    QDir(tempDir()).mkpath(QStringLiteral("out"));
    const RunResult r = runOle(path("demo.db"), "out/LA.pdf", "pdf", "--yes --employee-password birthdate");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QStringList> lines = summary(r);
    ASSERT_EQ(lines.size(), 5) << r.out.toStdString();
    qint64 files = 0;
    for (const QStringList& line : lines.mid(0, 3)) {
        ASSERT_TRUE(line.value(0).startsWith(path("out/")) && line.value(0).endsWith(u'/')) << r.out.toStdString();
        const qsizetype inFolder = QDir(line.value(0)).entryList({QStringLiteral("*.pdf")}, QDir::Files).size();
        EXPECT_EQ(line.value(1), QStringLiteral("%1 Lohnausweise").arg(inFolder));
        files += inFolder;
    }
    EXPECT_EQ(files, 41);
    EXPECT_EQ(lines[3], (QStringList{"Schutz", "Passwort: Geburtsdatum (TTMMJJJJ)"}));
    EXPECT_EQ(lines[4].mid(0, 4), (QStringList{"Total", "41 Dateien", "41 Lohnausweise", "3 Firmen"}));
    const QString second = path("out/Alpenblick Treuhand AG/Gerber Sandra_756.1655.9737.27_2.pdf");
    EXPECT_EQ(modeOf(second), 0600);
    EXPECT_EQ(modeOf(path("out/Alpenblick Treuhand AG")), 0700);
}
