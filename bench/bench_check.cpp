// The plausibility check over 100,000 certificates in 400 companies (with a wrong item 8 on every
// 1000th and a person missing from LGHPS on every 50th), against the record reader alone reading
// the same rows and touching every field. Prints both times, their ratio, the findings and the
// peak memory after each pass.
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "report/PlausibilityCheck.h"
#include "report/RunSelection.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

namespace {

// Processor time of this process: the machine is shared, and wall time would measure the neighbours.
class CpuTimer
{
public:
    CpuTimer() { clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &m_start); }
    double seconds() const
    {
        timespec now{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return double(now.tv_sec - m_start.tv_sec) + (now.tv_nsec - m_start.tv_nsec) / 1e9;
    }

private:
    timespec m_start{};
};

constexpr int kRows = 100000;
constexpr int kRowsPerCompany = 250;

using Database = std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)>;
using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

[[noreturn]] void fail(sqlite3* db)
{
    std::fprintf(stderr, "SQLite: %s\n", sqlite3_errmsg(db));
    std::exit(2);
}

Statement prepare(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK)
        fail(db);
    return Statement(raw, &sqlite3_finalize);
}

void bindText(sqlite3_stmt* s, int index, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    sqlite3_bind_text(s, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
}

void step(sqlite3* db, sqlite3_stmt* s)
{
    if (sqlite3_step(s) != SQLITE_DONE)
        fail(db);
    sqlite3_reset(s);
}

QString ahvNumber(int row)
{
    const QString digits = QStringLiteral("756%1").arg(100000000 + row, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    const QString full = digits + QString::number((10 - sum % 10) % 10);
    return full.left(3) + u'.' + full.mid(3, 4) + u'.' + full.mid(7, 4) + u'.' + full.mid(11, 2);
}

void generate(const QString& path)
{
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        fail(raw);
    const Database db(raw, &sqlite3_close_v2);
    QStringList definitions;
    for (const QLatin1String field : Field::All)
        definitions.append(QString(field) + (field.startsWith(QLatin1String("EB")) ? QStringLiteral(" INTEGER")
                                                                                   : QStringLiteral(" TEXT")));
    for (const QString& sql : {QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(definitions.join(QStringLiteral(", "))),
                               QStringLiteral("CREATE TABLE LGHPS (PNAME TEXT, PSTR TEXT, PORT TEXT, PKTON TEXT, "
                                              "PSEXCD INTEGER)"),
                               QStringLiteral("BEGIN")}) {
        if (sqlite3_exec(db.get(), sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail(db.get());
    }
    const Statement row = prepare(db.get(),
                                  QStringLiteral("INSERT INTO LGHLAEXP VALUES (%1)")
                                      .arg(QStringList(int(Field::All.size()), QStringLiteral("?")).join(u',')));
    const Statement person = prepare(db.get(), QStringLiteral("INSERT INTO LGHPS VALUES (?, ?, ?, 'ZH', 1)"));
    for (int r = 0; r < kRows; ++r) {
        const QString name = QStringLiteral("Muster%1 Hans").arg(r, 6, 10, QLatin1Char('0'));
        const QString street = QStringLiteral("Bahnhofstrasse %1").arg(r % 200 + 1);
        const qint64 income = 50000 + r % 70000;
        const qint64 social = income / 16;
        const qint64 gross = income + (r % 1000 == 999 ? 1000 : 0);
        int column = 1;
        for (const QLatin1String field : Field::All) {
            if (field.startsWith(QLatin1String("EB"))) {
                qint64 value = 0;
                if (field == Field::EB0100)
                    value = income;
                else if (field == Field::EB0800)
                    value = gross;
                else if (field == Field::EB0900)
                    value = social;
                else if (field == Field::EB1100)
                    value = gross - social;
                sqlite3_bind_int64(row.get(), column++, value);
                continue;
            }
            QString value;
            if (field == Field::EFLDA)
                value = QStringLiteral("X");
            else if (field == Field::EFLDC2)
                value = ahvNumber(r);
            else if (field == Field::EFLDD)
                value = QStringLiteral("2025");
            else if (field == Field::EFLDE1)
                value = QStringLiteral("01.01.2025");
            else if (field == Field::EFLDE2)
                value = QStringLiteral("31.12.2025");
            else if (field == Field::EFLDH1)
                value = name;
            else if (field == Field::EFLDH3)
                value = street;
            else if (field == Field::EFLDH5)
                value = QStringLiteral("8000");
            else if (field == Field::EFLDH6 || field == Field::EFLDI1)
                value = QStringLiteral("Zürich");
            else if (field == Field::EFLDI2)
                value = QStringLiteral("Firma %1 AG").arg(r / kRowsPerCompany, 3, 10, QLatin1Char('0'));
            else if (field == Field::EFLDI4)
                value = QStringLiteral("8001 Zürich");
            else if (field.startsWith(QLatin1String("EFLDI")) || field == Field::EFLDC1)
                value = QStringLiteral("Angabe %1").arg(field);
            bindText(row.get(), column++, value);
        }
        step(db.get(), row.get());
        if (r % 50 != 49) {
            bindText(person.get(), 1, name);
            bindText(person.get(), 2, street);
            bindText(person.get(), 3, QStringLiteral("Zürich"));
            step(db.get(), person.get());
        }
    }
    if (sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db.get());
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

QString source(const QString& path)
{
    return QStringLiteral("Provider=IBMDA400;Data Source=") + path + u';';
}

// The reader alone over the rows the check reads: the export rows with every field, and the person
// table's rows with the columns of the lookup.
double readerSeconds(const QString& path, bool withPersons)
{
    const CpuTimer timer;
    clsADOConnect reader;
    reader.setSource(source(path));
    reader.setLibl(QStringLiteral("BENCH"));
    if (!reader.init(kExportTableName, {}, {}, QStringLiteral("EFLDI2, EFLDH1, EFLDC2")))
        std::exit(1);
    const auto rs = reader.getRecordset();
    qint64 nonNull = 0;
    for (; !reader.isEOF(); reader.MoveNext()) {
        for (const QLatin1String field : Field::All)
            nonNull += !rs->value(field).isNull();
    }
    if (withPersons) {
        clsADOConnect persons;
        persons.setLibl(QStringLiteral("BENCH"));
        persons.setConnection(reader.getConnection());
        if (!persons.init(QStringLiteral("LGHPS"), QStringLiteral("PNAME, PSTR, PORT, PKTON, PSEXCD")))
            std::exit(1);
        const auto ps = persons.getRecordset();
        for (; !persons.isEOF(); persons.MoveNext()) {
            for (int i = 0; i < 5; ++i)
                nonNull += !ps->value(i).isNull();
        }
    }
    return nonNull > 0 ? timer.seconds() : -1;
}

double checkSeconds(const QString& path, PlausibilityCheck& check)
{
    const CpuTimer timer;
    try {
        if (!check.run(1, path, QStringLiteral("BENCH"), {}))
            std::exit(1);
    } catch (const LaError& e) {
        std::fprintf(stderr, "check failed: %d %s\n", e.number(), qPrintable(e.description()));
        std::exit(1);
    }
    return timer.seconds();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    generate(path);
    std::printf("generated %d certificates in %d companies\n", kRows, kRows / kRowsPerCompany);

    // Alternating passes, the best of three each, so that both find the file in the page cache.
    PlausibilityCheck check;
    double check1 = checkSeconds(path, check);
    const double peakAfterCheck = peakMegabytes();
    double reader = readerSeconds(path, true);
    const double peakAfterReader = peakMegabytes();
    double exportOnly = readerSeconds(path, false);
    double best = check1;
    for (int i = 0; i < 2; ++i) {
        reader = std::min(reader, readerSeconds(path, true));
        exportOnly = std::min(exportOnly, readerSeconds(path, false));
        best = std::min(best, checkSeconds(path, check));
    }
    const CertificateChecker& result = check.result();
    std::printf("processor times, the best of three\n");
    std::printf("check: %lld rows in %.3f s (%.0f rows/s); %lld errors, %lld notices\n",
                static_cast<long long>(result.rowCount()),
                best,
                result.rowCount() / best,
                static_cast<long long>(result.count(CheckSeverity::Error)),
                static_cast<long long>(result.count(CheckSeverity::Notice)));
    std::printf("reader alone over LGHLAEXP and LGHPS: %.3f s; check / reader = %.2f\n", reader, best / reader);
    std::printf("reader alone over LGHLAEXP only: %.3f s; check / that = %.2f\n", exportOnly, best / exportOnly);
    std::printf("peak memory (max RSS): %.1f MB after the first check, %.1f MB after the reader\n",
                peakAfterCheck,
                peakAfterReader);
    return result.rowCount() == kRows ? 0 : 1;
}
