// Figures of the run that writes one PDF per employee: the same certificates written as company
// documents and as files per employee protected by each employee's date of birth, with the real
// formatter, one after the other in one run of this program; the ratio of the two wall times.
//
//   bench_per_employee [certificates]     (default 2000)
//
// Run from the build directory: the formatter launcher and the style sheet are taken from ./fop/fop and
// ./xsl/TaxAccountingForm.xsl beside the program, as the program's default settings resolve them.

#include "app/Globals.h"
#include "bench/BenchDatabase.h"
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

// Two companies, each employee with a date of birth and an AHV number.
QString perEmployeeValue(QLatin1String f, int r, int rows)
{
    if (f == Field::EGEBDT)
        return QStringLiteral("%1.%2.19%3").arg(1 + r % 28).arg(1 + r % 12).arg(50 + r % 50);
    if (f == Field::EFLDC2)
        return QStringLiteral("756.%1.%2.%3")
            .arg(1000 + r / 10000)
            .arg(r % 10000, 4, 10, QLatin1Char('0'))
            .arg(r % 97, 2, 10, QLatin1Char('0'));
    if (f == Field::EFLDI2)
        return r <= rows / 2 ? QStringLiteral("Gebr. Müller & Söhne AG") : QStringLiteral("Rhône Transports SA");
    return {};
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
    useWorkFolder(work);
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
        writeBenchDatabase(window.source, 1, perEmployeeValue);
        timedRun(window, work, QStringLiteral("warm"));

        window.source = work.filePath(QStringLiteral("all.sqlite"));
        writeBenchDatabase(window.source, certificates, perEmployeeValue);
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
