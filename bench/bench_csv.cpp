// The eLohnausweis export over a generated payroll file: 50,000 certificates of 40,000 persons in
// 20 companies. Prints the time, rows per second, the statements sent and the peak memory.

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "bench/BenchWindow.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"
#include "report/CsvExport.h"
#include "report/RunSummary.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

constexpr int kCompanies = 20;
constexpr int kPersons = 40000;
constexpr int kCertificates = 50000;

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

void exec(sqlite3* db, const QString& sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: %s\n", message ? message : "?");
        sqlite3_free(message);
        std::exit(2);
    }
}

Statement prepare(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
    return Statement(raw, &sqlite3_finalize);
}

void bindText(sqlite3_stmt* s, int index, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(s, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void step(sqlite3* db, sqlite3_stmt* s)
{
    if (sqlite3_step(s) != SQLITE_DONE) {
        std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
    sqlite3_reset(s);
}

QString companyName(int c)
{
    return QStringLiteral("Firma %1 AG").arg(c, 2, 10, QLatin1Char('0'));
}

QString personName(int p)
{
    return QStringLiteral("Muster%1 Hans Peter").arg(p, 5, 10, QLatin1Char('0'));
}

void generate(const QString& path)
{
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(path));
        std::exit(2);
    }
    Database db(raw, &sqlite3_close_v2);
    QStringList columns;
    for (const QLatin1String field : Field::All) {
        const QString name(field);
        const QString type = name.startsWith(QLatin1String("EB"))                 ? QStringLiteral("DECIMAL(11,2)")
                             : (field == Field::EFLDE1 || field == Field::EFLDE2) ? QStringLiteral("DATE")
                                                                                  : QStringLiteral("CHAR(60)");
        columns.append(name + u' ' + type);
    }
    exec(db.get(), QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(columns.join(QStringLiteral(", "))));
    exec(db.get(),
         QStringLiteral(
             "CREATE TABLE LGHLAZ (LHREC CHAR(2), LHJAHR DECIMAL(4,0), LHFIN1 CHAR(60), LHFINR DECIMAL(5,0))"));
    exec(db.get(),
         QStringLiteral("CREATE TABLE LGHPS (PNAME CHAR(60), PSTR CHAR(60), PORT CHAR(40), PKTON CHAR(2), "
                        "PSEXCD DECIMAL(1,0))"));
    exec(db.get(), QStringLiteral("BEGIN"));

    QStringList names;
    QStringList markers;
    for (const QLatin1String field : Field::All) {
        names.append(QString(field));
        markers.append(QStringLiteral("?"));
    }
    Statement insert = prepare(db.get(),
                               QStringLiteral("INSERT INTO LGHLAEXP (%1) VALUES (%2)")
                                   .arg(names.join(QStringLiteral(", ")), markers.join(QStringLiteral(", "))));
    for (int n = 0; n < kCertificates; ++n) {
        // The first 10,000 persons have two certificates each, the others one.
        const int p = n < 2 * 10000 ? n / 2 : n - 10000;
        const int c = p % kCompanies;
        for (std::size_t f = 0; f < Field::All.size(); ++f) {
            const QLatin1String field = Field::All[f];
            const int index = int(f) + 1;
            if (field == Field::EFLDA)
                bindText(insert.get(), index, QStringLiteral("X"));
            else if (field == Field::EFLDC1)
                bindText(insert.get(), index, QStringLiteral("%1").arg(p, 14, 10, QLatin1Char('0')));
            else if (field == Field::EFLDC2)
                bindText(insert.get(), index, QStringLiteral("756.%1").arg(p, 12, 10, QLatin1Char('0')));
            else if (field == Field::EFLDD)
                bindText(insert.get(), index, QStringLiteral("2013"));
            else if (field == Field::EFLDE1)
                bindText(insert.get(), index, QStringLiteral("2013-01-01"));
            else if (field == Field::EFLDE2)
                bindText(insert.get(), index, QStringLiteral("2013-12-31"));
            else if (field == Field::EFLDH1)
                bindText(insert.get(), index, personName(p));
            else if (field == Field::EFLDH3)
                bindText(insert.get(), index, QStringLiteral("Bahnhofstrasse %1").arg(p % 200));
            else if (field == Field::EFLDH5)
                bindText(insert.get(), index, QStringLiteral("8000"));
            else if (field == Field::EFLDH6)
                bindText(insert.get(), index, QStringLiteral("Zürich"));
            else if (field == Field::EFLDI2)
                bindText(insert.get(), index, companyName(c));
            else if (field == Field::EFLDI4)
                bindText(insert.get(), index, QStringLiteral("8000 Zürich"));
            else if (field == Field::EFLDI5)
                bindText(insert.get(), index, QStringLiteral("Meier Anna"));
            else if (QString(field).startsWith(QLatin1String("EB")))
                sqlite3_bind_double(insert.get(), index, 1000.0 + (n % 997) + 0.25);
            else
                bindText(insert.get(), index, QStringLiteral("Text"));
        }
        step(db.get(), insert.get());
    }

    Statement year = prepare(db.get(), QStringLiteral("INSERT INTO LGHLAZ VALUES ('LH', 2013, ?, ?)"));
    for (int c = 0; c < kCompanies; ++c) {
        bindText(year.get(), 1, companyName(c));
        sqlite3_bind_int(year.get(), 2, c + 1);
        step(db.get(), year.get());
    }

    Statement person = prepare(db.get(), QStringLiteral("INSERT INTO LGHPS VALUES (?, ?, 'Zürich', 'ZH', ?)"));
    for (int p = 0; p < kPersons; ++p) {
        bindText(person.get(), 1, personName(p));
        bindText(person.get(), 2, QStringLiteral("Bahnhofstrasse %1").arg(p % 200));
        sqlite3_bind_int(person.get(), 3, 1 + p % 2);
        step(db.get(), person.get());
    }
    exec(db.get(), QStringLiteral("COMMIT"));
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 2;
    // A settings store of the benchmark's own: the export alone, without the check before the run
    // (bench_check_before_run measures that).
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), 0);
    BenchWindow window;
    window.source = dir.filePath(QStringLiteral("payroll.sqlite"));
    window.target = dir.filePath(QStringLiteral("lohnausweis.csv"));
    gFrmMain = &window;

    QElapsedTimer timer;
    timer.start();
    generate(window.source);
    std::printf("generated %d certificates of %d persons in %d companies in %.2f s\n",
                kCertificates,
                kPersons,
                kCompanies,
                timer.elapsed() / 1000.0);

    CsvExport run;
    RunSummary summary;
    const double cpuBefore = cpuSeconds();
    timer.restart();
    try {
        run.run(summary);
    } catch (const LaError& e) {
        std::fprintf(stderr, "export failed: %d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = cpuSeconds() - cpuBefore;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("export: %lld rows in %.3f s, %.0f rows/s\n",
                static_cast<long long>(run.rowCount()),
                seconds,
                run.rowCount() / seconds);
    std::printf("processor time of the export (user + system): %.3f s\n", cpu);
    std::printf("statements sent on the export connection: %lld\n", static_cast<long long>(run.statementCount()));
    std::printf("file size: %lld bytes, last status: %s\n",
                static_cast<long long>(QFileInfo(window.target).size()),
                qPrintable(window.lastStatus));
    std::printf("peak memory (max RSS): %.1f MB\n", usage.ru_maxrss / 1024.0);
    gFrmMain = nullptr;
    return 0;
}
