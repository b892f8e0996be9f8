// Figures of the run that writes one PDF per employee: the same certificates written as company
// documents and as files per employee protected by each employee's date of birth, with the real
// formatter, one after the other in one run of this program; the ratio of the two wall times.
//
//   bench_per_employee [certificates]     (default 2000)
//
// Run from the build directory: the formatter launcher and the style sheet are taken from ./fop/fop and
// ./xsl/TaxAccountingForm.xsl beside the program, as the program's default settings resolve them.

#include "app/Globals.h"
#include "bench/BenchWindow.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/clsFSConnect.h"
#include "platform/clsRegistryHandler.h"
#include "report/crtXMLData.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>

namespace {

class CountingPrompt : public Prompt
{
public:
    int messageBox(const QString& text, int, const QString& title) override
    {
        ++boxes;
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return 1;
    }
    QString saveFileName(const QString&, const QString&, const QString& initialName) override { return initialName; }
    bool login(const QString&, QString&, QString&) override { return true; }
    int boxes = 0;
};

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
}

// `rows` certificates of two companies, each employee with a date of birth and an AHV number.
void writeDatabase(const QString& path, int rows)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(QFile::encodeName(path).constData(), &db), db);
    QStringList columns;
    QStringList markers;
    for (const QLatin1String f : Field::All) {
        columns.append(QString(f) + (f.startsWith(QLatin1String("EB")) ? QStringLiteral(" DECIMAL(11,2)")
                                                                       : QStringLiteral(" CHAR(60)")));
        markers.append(QStringLiteral("?"));
    }
    check(sqlite3_exec(db,
                       QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(columns.join(u',')).toUtf8().constData(),
                       nullptr,
                       nullptr,
                       nullptr),
          db);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(
              db,
              QStringLiteral("INSERT INTO LGHLAEXP VALUES (%1)").arg(markers.join(u',')).toUtf8().constData(),
              -1,
              &insert,
              nullptr),
          db);
    for (int r = 1; r <= rows; ++r) {
        int i = 1;
        for (const QLatin1String f : Field::All) {
            QString v;
            if (f.startsWith(QLatin1String("EB")))
                v = QStringLiteral("%1.%2").arg(1000 + (r * 37 + i) % 90000).arg(r % 100, 2, 10, QLatin1Char('0'));
            else if (f == Field::EFLDA)
                v = QStringLiteral("X");
            else if (f == Field::EFLDE1)
                v = QStringLiteral("01.01.2024");
            else if (f == Field::EFLDE2)
                v = QStringLiteral("31.12.2024");
            else if (f == Field::EGEBDT)
                v = QStringLiteral("%1.%2.19%3").arg(1 + r % 28).arg(1 + r % 12).arg(50 + r % 50);
            else if (f == Field::EFLDC2)
                v = QStringLiteral("756.%1.%2.%3")
                        .arg(1000 + r / 10000)
                        .arg(r % 10000, 4, 10, QLatin1Char('0'))
                        .arg(r % 97, 2, 10, QLatin1Char('0'));
            else if (f == Field::EFLDI2)
                v = r <= rows / 2 ? QStringLiteral("Gebr. Müller & Söhne AG") : QStringLiteral("Rhône Transports SA");
            else if (f == Field::EFLDH1)
                v = QStringLiteral("Mitarbeiterin %1 Zürcher").arg(r, 6, 10, QLatin1Char('0'));
            else if (f == Field::EFLDD)
                v = QStringLiteral("2024");
            else if (f.size() == 5 || f == Field::EFLDH0 || f == Field::ET1311)
                v = QString();
            else
                v = QStringLiteral("Text %1 für Feld %2").arg(r).arg(QString(f));
            const QByteArray bytes = v.toUtf8();
            sqlite3_bind_text(insert, i++, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        check(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}

qint64 pdfFilesBelow(const QString& folder)
{
    qint64 n = 0;
    for (QDirIterator it(folder, {QStringLiteral("*.pdf")}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();
         it.next())
        ++n;
    return n;
}

// One run into the folder `name` of the work folder; its wall time in seconds.
double timedRun(BenchWindow& window, const QTemporaryDir& work, const QString& name)
{
    QDir(work.path()).mkpath(name);
    window.target = work.filePath(name + QStringLiteral("/LA.pdf"));
    gOverwriteAsked = false;
    QElapsedTimer t;
    t.start();
    crtXMLData();
    return double(t.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int certificates = argc > 1 ? std::atoi(argv[1]) : 2000;

    QTemporaryDir work;
    if (!work.isValid())
        return 2;
    qputenv("TMPDIR", work.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toLocal8Bit());
    clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), 0);
    // The launcher keeps its class-data archive only in a folder others cannot change: beside the program.
    const QTemporaryDir cache(QCoreApplication::applicationDirPath() + QStringLiteral("/bench-cache-XXXXXX"));
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    CountingPrompt prompt;
    ScopedPrompt scoped(prompt);
    BenchWindow window;
    window.pdf = true;
    gFrmMain = &window;
    gAppPath = QCoreApplication::applicationDirPath();
    gFopPath = QStringLiteral("./fop/fop");
    gXslPath = QStringLiteral("./xsl/TaxAccountingForm.xsl");
    gLog = std::make_unique<clsFSConnect>();
    gLog->init(work.filePath(QStringLiteral("LOVARSLog.txt")), 0);
    if (!QFileInfo(gAppPath + QStringLiteral("/fop/fop")).isFile()) {
        std::printf("skipped: %s/fop/fop is missing\n", qPrintable(gAppPath));
        return 0;
    }

    try {
        // A run of one certificate first, so that the class-data archive exists for both runs measured.
        window.source = work.filePath(QStringLiteral("one.sqlite"));
        writeDatabase(window.source, 1);
        timedRun(window, work, QStringLiteral("warm"));

        window.source = work.filePath(QStringLiteral("all.sqlite"));
        writeDatabase(window.source, certificates);
        const double company = timedRun(window, work, QStringLiteral("company"));
        const qint64 companyFiles = pdfFilesBelow(work.filePath(QStringLiteral("company")));
        std::printf("company documents: %d certificates, %lld files in %.2f s\n", certificates, companyFiles, company);

        window.perEmployee = true;
        window.passwordChecked = true;
        window.employeeKind = EmployeePasswordKind::Birthdate;
        const double perEmployee = timedRun(window, work, QStringLiteral("employees"));
        const qint64 employeeFiles = pdfFilesBelow(work.filePath(QStringLiteral("employees")));
        std::printf("files per employee, date-of-birth passwords: %lld files in %.2f s (%.1f ms per file)\n",
                    employeeFiles,
                    perEmployee,
                    1000.0 * perEmployee / double(std::max<qint64>(employeeFiles, 1)));
        std::printf("ratio per employee / company documents: %.2f\n", perEmployee / company);
        if (employeeFiles != certificates)
            return 1;
    } catch (const LaError& e) {
        std::fprintf(stderr, "error %d: %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return prompt.boxes == 0 ? 0 : 1;
}
