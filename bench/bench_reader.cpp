// Reads a certificate table of 100,000 rows through the record reader, touching every field of every
// row by name as the generators do, and compares the time with the sqlite3 command-line tool
// reading the same rows. Prints rows per second, the ratio and the peak memory of this process.
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <sqlite3.h>
#include <sys/resource.h>

namespace {

constexpr int kRows = 100000;

int charWidth(QLatin1String field)
{
    if (field.size() == 5 || field == Field::EFLDH0 || field == Field::ET1311)
        return field == Field::EFLDD ? 4 : 1;
    if (field == Field::EFLDC1 || field == Field::EFLDC2)
        return 16;
    if (field == Field::EFLDH5 || field == Field::EGEBDT || field == Field::EFLDE1 || field == Field::EFLDE2)
        return 10;
    if (field == Field::EFLDH6)
        return 40;
    if (field == Field::EFLDI6)
        return 20;
    return 60;
}

bool generate(const QString& path)
{
    sqlite3* raw = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        return false;
    std::unique_ptr<sqlite3, decltype(&sqlite3_close_v2)> db(raw, &sqlite3_close_v2);
    QStringList definitions;
    QStringList markers;
    for (const QLatin1String field : Field::All) {
        definitions.append(QString(field) + (field.startsWith(QLatin1String("EB")) ? QStringLiteral(" INTEGER")
                                                                                   : QStringLiteral(" TEXT")));
        markers.append(QStringLiteral("?"));
    }
    const QString create = QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(definitions.join(QStringLiteral(", ")));
    if (sqlite3_exec(db.get(), create.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    const QString insert = QStringLiteral("INSERT INTO LGHLAEXP VALUES (%1)").arg(markers.join(QStringLiteral(", ")));
    sqlite3_stmt* statementRaw = nullptr;
    if (sqlite3_prepare_v2(db.get(), insert.toUtf8().constData(), -1, &statementRaw, nullptr) != SQLITE_OK)
        return false;
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> statement(statementRaw, &sqlite3_finalize);
    for (int row = 0; row < kRows; ++row) {
        int column = 1;
        for (const QLatin1String field : Field::All) {
            if (field.startsWith(QLatin1String("EB"))) {
                sqlite3_bind_int64(statement.get(), column, (row * 7919 + column * 104729) % 150000);
                ++column;
                continue;
            }
            QString value;
            if (field == Field::EFLDI2)
                value = QStringLiteral("Firma Nr. %1 AG").arg(row / 250);
            else if (field == Field::EFLDH1)
                value = QStringLiteral("Müller-Weiß %1 Jürg").arg((row * 7) % kRows);
            else if (field == Field::EFLDE1 || field == Field::EFLDE2)
                value = QStringLiteral("31.12.2025");
            else if (charWidth(field) == 1)
                value = row % 3 == 0 ? QStringLiteral("X") : QStringLiteral(" ");
            else
                value = QStringLiteral("Text %1 %2").arg(field).arg(row);
            // The host delivers CHAR fields padded to their width.
            const QByteArray utf8 = value.leftJustified(charWidth(field), u' ', true).toUtf8();
            sqlite3_bind_text(statement.get(), column++, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(statement.get()) != SQLITE_DONE)
            return false;
        sqlite3_reset(statement.get());
    }
    return sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.sqlite"));
    QElapsedTimer timer;
    timer.start();
    if (!generate(path)) {
        std::fprintf(stderr, "cannot generate %s\n", qPrintable(path));
        return 1;
    }
    std::printf(
        "generated %d rows in %.2f s (peak so far %ld MB)\n", kRows, timer.elapsed() / 1000.0, peakKilobytes() / 1024);

    const QString sort = QStringLiteral("EFLDI2, EFLDH1");
    double cliSeconds = -1;
    const QString cli = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (!cli.isEmpty()) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        timer.restart();
        process.start(cli, {path, QStringLiteral("SELECT * FROM LGHLAEXP ORDER BY ") + sort});
        if (process.waitForFinished(600000) && process.exitCode() == 0)
            cliSeconds = timer.elapsed() / 1000.0;
    }

    timer.restart();
    qint64 rows = 0;
    qint64 characters = 0;
    {
        clsADOConnect reader;
        reader.setSource(QStringLiteral("Provider=IBMDA400;Data Source=") + path + u';');
        reader.setLibl(QStringLiteral("BENCH"));
        if (!reader.init(kExportTableName, {}, {}, sort))
            return 1;
        const double fetched = timer.elapsed() / 1000.0;
        const auto rs = reader.getRecordset();
        for (; !reader.isEOF(); reader.MoveNext(), ++rows) {
            for (const QLatin1String field : Field::All) {
                const Variant value = rs->value(field);
                if (!value.isNull())
                    characters += value.toText().size();
            }
        }
        std::printf("query and fetch: %.2f s\n", fetched);
    }
    const double seconds = timer.elapsed() / 1000.0;
    std::printf("reader: %lld rows, %d fields each, %lld characters in %.2f s = %.0f rows/s\n",
                rows,
                int(Field::All.size()),
                characters,
                seconds,
                rows / seconds);
    if (cliSeconds > 0)
        std::printf("sqlite3 CLI: %.2f s; reader / CLI = %.2f\n", cliSeconds, seconds / cliSeconds);
    else
        std::printf("sqlite3 CLI not available: no ratio\n");
    std::printf("peak memory: %ld MB\n", peakKilobytes() / 1024);
    return rows == kRows ? 0 : 1;
}
