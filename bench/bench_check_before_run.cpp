// What the check before a run adds: a CSV run and a PDF run over a payroll of 2,000 certificates in 10
// companies that passes every error rule (a payroll after its corrections), with the check before the
// run off and on. Prints the times and the ratios.
//
//   bench_check_before_run [certificates [pairs]]     (defaults 2000 and 5)
//
// Run from the build directory: the PDF run takes the formatter launcher and the style sheet from
// ./fop/fop and ./xsl/TaxAccountingForm.xsl beside the program.

#include "app/Globals.h"
#include "bench/BenchDatabase.h"
#include "bench/BenchWindow.h"
#include "db/DbConnection.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/clsFSConnect.h"
#include "platform/clsRegistryHandler.h"
#include "report/CsvExport.h"
#include "report/PlausibilityCheck.h"
#include "report/RunSelection.h"
#include "report/RunSummary.h"
#include "report/crtXMLData.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <vector>

namespace {

void exec(sqlite3* db, const QString& sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
}

QString quoted(const QString& text)
{
    return u'\'' + QString(text).replace(u'\'', QStringLiteral("''")) + u'\'';
}

// A new AHV number with its check digit.
QString ahvNumber(int index)
{
    const QString digits = QStringLiteral("756%1").arg(100000000 + index * 37, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    const QString full = digits + QString::number((10 - sum % 10) % 10);
    return full.left(3) + u'.' + full.mid(3, 4) + u'.' + full.mid(7, 4) + u'.' + full.mid(11, 2);
}

void writePayroll(const QString& path, int certificates)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        std::exit(2);
    QStringList columns;
    for (const QLatin1String f : Field::All)
        columns.append(QString(f) +
                       (f.startsWith(QLatin1String("EB")) ? QStringLiteral(" INTEGER") : QStringLiteral(" TEXT")));
    exec(db, QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(columns.join(u',')));
    exec(db, QStringLiteral("CREATE TABLE LGHLAZ (LHREC TEXT, LHJAHR INTEGER, LHFIN1 TEXT, LHFINR INTEGER)"));
    exec(db, QStringLiteral("CREATE TABLE LGHPS (PNAME TEXT, PSTR TEXT, PORT TEXT, PKTON TEXT, PSEXCD INTEGER)"));
    exec(db, QStringLiteral("BEGIN"));
    for (int c = 0; c < 10; ++c)
        exec(db, QStringLiteral("INSERT INTO LGHLAZ VALUES ('LH', 2025, 'Firma %1 AG', %2)").arg(c).arg(100 + c));
    for (int i = 0; i < certificates; ++i) {
        const qint64 income = 50000 + (i * 37) % 60000;
        const qint64 social = income * 64 / 1000;
        const qint64 pension = income / 20;
        const QString name = QStringLiteral("Muster%1 Hans").arg(i, 5, 10, QLatin1Char('0'));
        QStringList values;
        for (const QLatin1String f : Field::All) {
            QString v;
            if (f == Field::EFLDA)
                v = quoted(QStringLiteral("X"));
            else if (f == Field::EFLDC2)
                v = quoted(ahvNumber(i));
            else if (f == Field::EFLDD)
                v = quoted(QStringLiteral("2025"));
            else if (f == Field::EFLDE1)
                v = quoted(QStringLiteral("01.01.2025"));
            else if (f == Field::EFLDE2)
                v = quoted(QStringLiteral("31.12.2025"));
            else if (f == Field::EFLDH1)
                v = quoted(name);
            else if (f == Field::EFLDH3)
                v = quoted(QStringLiteral("Seestrasse %1").arg(i % 200 + 1));
            else if (f == Field::EFLDH5)
                v = quoted(QStringLiteral("8002"));
            else if (f == Field::EFLDH6)
                v = quoted(QStringLiteral("Zürich"));
            else if (f == Field::EFLDI1)
                v = quoted(QStringLiteral("Zürich, 30.01.2026"));
            else if (f == Field::EFLDI2)
                v = quoted(QStringLiteral("Firma %1 AG").arg(i % 10));
            else if (f == Field::EFLDI3)
                v = quoted(QStringLiteral("Bahnhofstrasse 1"));
            else if (f == Field::EFLDI4)
                v = quoted(QStringLiteral("8001 Zürich"));
            else if (f == Field::EFLDI5)
                v = quoted(QStringLiteral("Keller Anna"));
            else if (f == Field::EFLDI6)
                v = quoted(QStringLiteral("044 123 45 67"));
            else if (f == Field::EB0100 || f == Field::EB0800)
                v = QString::number(income);
            else if (f == Field::EB0900)
                v = QString::number(social);
            else if (f == Field::EB1010)
                v = QString::number(pension);
            else if (f == Field::EB1100)
                v = QString::number(income - social - pension);
            else
                v = f.startsWith(QLatin1String("EB")) ? QStringLiteral("0") : QStringLiteral("''");
            values.append(v);
        }
        exec(db, QStringLiteral("INSERT INTO LGHLAEXP VALUES (%1)").arg(values.join(u',')));
        exec(db,
             QStringLiteral("INSERT INTO LGHPS VALUES (%1, %2, 'Zürich', 'ZH', %3)")
                 .arg(quoted(name), quoted(QStringLiteral("Seestrasse %1").arg(i % 200 + 1)))
                 .arg(1 + i % 2));
    }
    exec(db, QStringLiteral("COMMIT"));
    sqlite3_close(db);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One run of the window's output kind; its wall time in seconds.
double timedRun(BenchWindow& window, bool check, RunSummary& summary)
{
    clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), check ? 1 : 0);
    // No overwrite question: the earlier run's files go first.
    const QDir folder = QFileInfo(window.target).dir();
    for (const QString& file : folder.entryList(QDir::Files))
        QFile::remove(folder.filePath(file));
    gOverwriteAsked = false;
    summary.start();
    QElapsedTimer timer;
    timer.start();
    try {
        if (window.pdf)
            crtXMLData(summary);
        else
            CsvExport().run(summary);
    } catch (const LaError& e) {
        std::fprintf(stderr, "run failed: %d %s\n", e.number(), qPrintable(e.description()));
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int certificates = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int pairs = argc > 2 ? std::atoi(argv[2]) : 5;
    QTemporaryDir work;
    if (!work.isValid())
        return 2;
    useWorkFolder(work);
    CountingPrompt prompt;
    ScopedPrompt scoped(prompt);
    BenchWindow window;
    window.source = work.filePath(QStringLiteral("payroll.sqlite"));
    gFrmMain = &window;
    gAppPath = QCoreApplication::applicationDirPath();
    gLog = std::make_unique<clsFSConnect>();
    gLog->init(work.filePath(QStringLiteral("LOVARSLog.txt")), 0);
    writePayroll(window.source, certificates);

    // CSV: off and on by turns, so that both see the same load on the machine.
    QDir(work.path()).mkpath(QStringLiteral("csv"));
    window.target = work.filePath(QStringLiteral("csv/LA.csv"));
    std::vector<double> off;
    std::vector<double> on;
    RunSummary summary;
    for (int i = 0; i < pairs; ++i) {
        off.push_back(timedRun(window, false, summary));
        on.push_back(timedRun(window, true, summary));
    }
    std::printf("CSV run, %d certificates (median of %d): without check %.3f s, with %.3f s; the check adds %.3f s "
                "= %.1f %% of the run (%s)\n",
                certificates,
                pairs,
                median(off),
                median(on),
                median(on) - median(off),
                100.0 * (median(on) - median(off)) / median(off),
                qPrintable(summary.lines().value(summary.lines().size() - 1)));

    // The check as the PDF run makes it (without the person table), on an open connection.
    std::vector<double> checkAlone;
    for (int i = 0; i < pairs; ++i) {
        const std::shared_ptr<DbConnection> connection =
            openDbConnection(QStringLiteral("Provider=IBMDA400;Data Source=") + window.source + u';');
        PlausibilityCheck check;
        QElapsedTimer timer;
        timer.start();
        if (!check.runOn(connection, window.txtLib(), {}, false))
            return 1;
        checkAlone.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    std::printf("check before a PDF run alone (median of %d): %.3f s\n", pairs, median(checkAlone));

    // PDF: the real formatter; one run each way, since a run takes a minute or more.
    gFopPath = QStringLiteral("./fop/fop");
    gXslPath = QStringLiteral("./xsl/TaxAccountingForm.xsl");
    if (!QFileInfo(gAppPath + QStringLiteral("/fop/fop")).isFile()) {
        std::printf("PDF run: skipped, no formatter launcher beside the program\n");
        return prompt.boxes == 0 ? 0 : 1;
    }
    window.pdf = true;
    QDir(work.path()).mkpath(QStringLiteral("pdf"));
    window.target = work.filePath(QStringLiteral("pdf/LA.pdf"));
    const double pdfOff = timedRun(window, false, summary);
    const double pdfOn = timedRun(window, true, summary);
    std::printf("PDF run, %d certificates: without check %.1f s, with %.1f s; the check alone is %.2f %% of the run "
                "without it (the measured difference, %.1f %%, is mostly the formatter's own spread)\n",
                certificates,
                pdfOff,
                pdfOn,
                100.0 * median(checkAlone) / pdfOff,
                100.0 * (pdfOn - pdfOff) / pdfOff);
    gFrmMain = nullptr;
    return prompt.boxes == 0 ? 0 : 1;
}
