// Figures of the PDF run: how fast the salary declaration documents are written, what one formatter
// call for a single certificate costs with and without the launcher's class-data archive, the memory
// of one formatter call on a document of 200 certificates, that call with the style sheet as it was
// before its items became blocks (bench/data/TaxAccountingForm-before.xsl) against today's, with the
// size of the formatting objects per certificate, what the encryption in our own process adds to it,
// and the whole run with one formatter job and with the default number of jobs against one formatter
// call for the same certificates, with either sheet.
//
//   bench_pdf [rows-for-xml [certificates-for-pdf [call-pairs]]]     (defaults 20000, 2000 and 5)
//
// Run from the build directory: the formatter launcher and the style sheet are taken from ./fop/fop and
// ./xsl/TaxAccountingForm.xsl beside the program, as the program's default settings resolve them.

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "bench/BenchDatabase.h"
#include "bench/BenchWindow.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/clsFSConnect.h"
#include "platform/clsRegistryHandler.h"
#include "platform/clsShell.h"
#include "report/FopJobPool.h"
#include "report/PdfProtection.h"
#include "report/PdfRun.h"
#include "report/TextStream.h"
#include "report/crtXMLData.h"
#include "report/crtXMLDocument.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <sqlite3.h>
#include <sys/resource.h>
#include <vector>

namespace {

// All rows of the database in one document, as the writers produce it.
TextStream wholeDocument(const QString& database, qint64* rows)
{
    clsADOConnect reader;
    reader.setSource(QStringLiteral("Provider=IBMDA400;Data Source=") + database + u';');
    reader.setLibl(QStringLiteral("LIB1"));
    if (!reader.init(QString(kExportTableName), {}, {}, QStringLiteral("EFLDI2, EFLDH1")))
        std::exit(2);
    TextStream stream;
    QString description;
    bool open = false;
    *rows = 0;
    while (!reader.isEOF()) {
        if (!open) {
            description = crtXMLHeader(stream, reader);
            open = true;
        }
        crtXMLBody(stream, reader);
        reader.MoveNext();
        ++*rows;
    }
    crtXMLEnd(stream, description, open);
    return stream;
}

double seconds(const QElapsedTimer& t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

// Processor time of all waited-for child processes so far (the formatter and its Java VM), in seconds.
double childCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void setFopJobs(int jobs)
{
    clsRegistryHandler().SaveSettingLong(QStringLiteral("FopJobs"), jobs);
}

// Peak resident memory of the largest waited-for child process so far (the Java VM), in MB.
double childPeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return "unknown";
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.mid(0, 3).join(", ");
}

void runPdfRun(BenchWindow& window, const QString& database, const QString& toFile)
{
    window.source = database;
    window.target = toFile;
    gOverwriteAsked = false;
    crtXMLData();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // figures appear as they are measured
    const int xmlRows = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int certificates = argc > 2 ? std::atoi(argv[2]) : 2000;
    const int callPairs = argc > 3 ? std::atoi(argv[3]) : 5;

    QTemporaryDir work;
    if (!work.isValid())
        return 2;
    // A settings store of the benchmark's own, for the number of formatter jobs. The check before the
    // run has a benchmark of its own (bench_check_before_run); these rows are made for the run alone.
    useWorkFolder(work);
    clsRegistryHandler().SaveSettingLong(QStringLiteral("CheckBeforeRun"), 0);
    CountingPrompt prompt;
    ScopedPrompt scoped(prompt);
    BenchWindow window;
    window.pdf = true;
    gFrmMain = &window;
    gAppPath = QCoreApplication::applicationDirPath();
    gLog = std::make_unique<clsFSConnect>();
    gLog->init(work.filePath(QStringLiteral("LOVARSLog.txt")), 0);

    try {
        // 1. Writing the documents.
        const QString xmlDb = work.filePath(QStringLiteral("xml.sqlite"));
        writeBenchDatabase(xmlDb, xmlRows);
        qint64 rows = 0;
        QElapsedTimer t;
        t.start();
        const TextStream doc = wholeDocument(xmlDb, &rows);
        const QString xmlFile = work.filePath(QStringLiteral("all.xml"));
        doc.saveToFile(xmlFile);
        const double writeSeconds = seconds(t);
        std::printf("document writers: %lld rows in %.3f s = %.0f rows/s (%.1f MB of XML)\n",
                    rows,
                    writeSeconds,
                    double(rows) / writeSeconds,
                    double(QFileInfo(xmlFile).size()) / 1e6);

        // 2. The whole run with a formatter that only copies the document (between the marks of a complete
        //    PDF): the run's own cost, with one "java -version" and one formatter start per PDF file, one
        //    formatter job at a time.
        const QString copier = work.filePath(QStringLiteral("copy-fop.sh"));
        {
            QFile f(copier);
            if (!f.open(QIODevice::WriteOnly))
                return 2;
            f.write("#!/bin/sh\nwhile [ $# -gt 0 ]; do case \"$1\" in -xml) x=$2;; -pdf) p=$2;; esac; shift 2; done\n"
                    "{ printf '%%PDF-1.4\\n'; cat \"$x\"; printf '\\n%%%%EOF\\n'; } > \"$p\"\n");
            f.close();
            f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        }
        gFopPath = copier;
        gXslPath = xmlFile;
        setFopJobs(1);
        QDir(work.path()).mkpath(QStringLiteral("copies"));
        t.restart();
        runPdfRun(window, xmlDb, work.filePath(QStringLiteral("copies/LA.pdf")));
        const double copySeconds = seconds(t);
        const qint64 copyFiles = QDir(work.filePath(QStringLiteral("copies"))).entryList(QDir::Files).size();
        std::printf("run with copying formatter: %d rows, %lld files in %.3f s = %.0f rows/s (%.1f ms per file)\n",
                    xmlRows,
                    copyFiles,
                    copySeconds,
                    double(xmlRows) / copySeconds,
                    1000.0 * copySeconds / double(copyFiles));

        // The real formatter from here on.
        gFopPath = QStringLiteral("./fop/fop");
        gXslPath = QStringLiteral("./xsl/TaxAccountingForm.xsl");
        const QString fop = gAppPath + QStringLiteral("/fop/fop");
        const QString xsl = gAppPath + QStringLiteral("/xsl/TaxAccountingForm.xsl");
        if (!QFileInfo(fop).isFile() || !QFileInfo(xsl).isFile()) {
            std::printf("real formatter: skipped, %s or %s is missing\n", qPrintable(fop), qPrintable(xsl));
            return prompt.boxes == 0 ? 0 : 1;
        }

        // 3. One formatter call for one certificate, the launcher's class-data archive switched off and on
        //    by turns, so that both see the same load on the machine. The archive lives in a cache folder
        //    of this run beside the program (the launcher uses none under /tmp, where others may write); the
        //    first call with it on makes it.
        const QString smallDb = work.filePath(QStringLiteral("small.sqlite"));
        writeBenchDatabase(smallDb, 1);
        const QString smallXml = work.filePath(QStringLiteral("small.xml"));
        wholeDocument(smallDb, &rows).saveToFile(smallXml);
        const QTemporaryDir cache(QCoreApplication::applicationDirPath() + QStringLiteral("/bench-cache-XXXXXX"));
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        struct Timing
        {
            double wall;
            double cpu;
        };
        const auto formatterCall = [&](bool archive) {
            qputenv("LOHNAUSWEIS_FOP_CDS", archive ? "on" : "off");
            const QString pdf = work.filePath(QStringLiteral("small.pdf"));
            QFile::remove(pdf);
            const double cpu = childCpuSeconds();
            t.restart();
            QString output;
            clsShell().ExecAndCapture(quoteArgument(fop) + QStringLiteral(" -xml ") + quoteArgument(smallXml) +
                                          QStringLiteral(" -xsl ") + quoteArgument(xsl) + QStringLiteral(" -pdf ") +
                                          quoteArgument(pdf),
                                      QStringLiteral("./"),
                                      output);
            const Timing timing{seconds(t), childCpuSeconds() - cpu};
            if (!QFileInfo(pdf).isFile()) {
                std::printf("formatter call wrote no PDF:%s\n", qPrintable(output));
                std::exit(1);
            }
            return timing;
        };
        const Timing making = formatterCall(true);
        const QStringList archives =
            QDir(cache.filePath(QStringLiteral("lohnausweis"))).entryList({QStringLiteral("fop-*.jsa")}, QDir::Files);
        std::vector<double> wallWithout, cpuWithout, wallWith, cpuWith;
        for (int i = 0; i < callPairs; ++i) {
            const Timing off = formatterCall(false);
            const Timing on = formatterCall(true);
            wallWithout.push_back(off.wall);
            cpuWithout.push_back(off.cpu);
            wallWith.push_back(on.wall);
            cpuWith.push_back(on.cpu);
        }
        qunsetenv("LOHNAUSWEIS_FOP_CDS");
        std::printf("formatter call, one certificate (median of %d): without class-data archive %.2f s (cpu %.2f s), "
                    "with %.2f s (cpu %.2f s); ratio with / without %.2f (cpu %.2f)\n",
                    callPairs,
                    median(wallWithout),
                    median(cpuWithout),
                    median(wallWith),
                    median(cpuWith),
                    median(wallWith) / median(wallWithout),
                    median(cpuWith) / median(cpuWithout));
        std::printf("the call that made the archive: %.2f s (cpu %.2f s); archive %s, %.1f MB\n",
                    making.wall,
                    making.cpu,
                    archives.isEmpty() ? "missing" : "made",
                    archives.isEmpty()
                        ? 0.0
                        : double(QFileInfo(cache.filePath(QStringLiteral("lohnausweis/") + archives.first())).size()) /
                              1e6);

        // 4. The memory of one formatter call on a document of 200 certificates, the most a document
        //    holds. The peak is that of the largest child so far; the calls before were smaller.
        const QString before = QStringLiteral(LA_BENCH_DATA "/TaxAccountingForm-before.xsl");
        // One formatter call; `-foout` in place of `-pdf` writes the formatting objects instead.
        const auto oneCall = [&](const QString& xml,
                                 const QString& pdf,
                                 const QString& sheet = QString(),
                                 const char* output_option = " -pdf ") {
            QString output;
            clsShell().ExecAndCapture(quoteArgument(fop) + QStringLiteral(" -xml ") + quoteArgument(xml) +
                                          QStringLiteral(" -xsl ") + quoteArgument(sheet.isEmpty() ? xsl : sheet) +
                                          QLatin1String(output_option) + quoteArgument(pdf),
                                      QStringLiteral("./"),
                                      output);
            if (!QFileInfo(pdf).isFile()) {
                std::printf("formatter call wrote no PDF:%s\n", qPrintable(output));
                std::exit(1);
            }
        };
        const QString docDb = work.filePath(QStringLiteral("doc200.sqlite"));
        writeBenchDatabase(docDb, 200);
        const QString docXml = work.filePath(QStringLiteral("doc200.xml"));
        wholeDocument(docDb, &rows).saveToFile(docXml);
        t.restart();
        oneCall(docXml, work.filePath(QStringLiteral("doc200.pdf")));
        const double call200 = seconds(t);
        std::printf("formatter call, 200 certificates: %.2f s, peak resident memory of the Java VM %.0f MB "
                    "(a job is reckoned at %.0f MB)\n",
                    call200,
                    childPeakMegabytes(),
                    double(kFormatterJobBytes) / 1024.0 / 1024.0);

        // 4b. The same 200 certificates with the sheet before and today's, by turns, so that both see the
        //     same load on the machine; processor time of the formatter and its Java VM, and wall time.
        std::vector<double> wallBefore, cpuBefore, wallNow, cpuNow;
        for (int i = 0; i < callPairs; ++i) {
            for (const bool old : {true, false}) {
                const double cpu = childCpuSeconds();
                t.restart();
                oneCall(docXml, work.filePath(QStringLiteral("sheet.pdf")), old ? before : QString());
                (old ? wallBefore : wallNow).push_back(seconds(t));
                (old ? cpuBefore : cpuNow).push_back(childCpuSeconds() - cpu);
                QFile::remove(work.filePath(QStringLiteral("sheet.pdf")));
            }
        }
        const auto foBytesPerCertificate = [&](const QString& sheet) {
            const QString fo = work.filePath(QStringLiteral("doc200.fo"));
            oneCall(docXml, fo, sheet, " -foout ");
            const double bytes = double(QFileInfo(fo).size()) / double(rows);
            QFile::remove(fo);
            return bytes;
        };
        std::printf("formatter call, 200 certificates (median of %d): sheet before %.2f s (cpu %.2f s), today's %.2f s "
                    "(cpu %.2f s); ratio today / before %.2f (cpu %.2f)\n",
                    callPairs,
                    median(wallBefore),
                    median(cpuBefore),
                    median(wallNow),
                    median(cpuNow),
                    median(wallNow) / median(wallBefore),
                    median(cpuNow) / median(cpuBefore));
        std::printf("formatting objects per certificate: sheet before %.1f KB, today's %.1f KB\n",
                    foBytesPerCertificate(before) / 1024.0,
                    foBytesPerCertificate(QString()) / 1024.0);

        // 5. What the encryption in our own process adds to a protected PDF of 200 certificates.
        QFile rendered(work.filePath(QStringLiteral("doc200.pdf")));
        if (!rendered.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray plain = rendered.readAll();
        t.restart();
        const QByteArray encrypted = protectedPdf(plain, QStringLiteral("geheim"), rendered.fileName());
        const double encryptSeconds = seconds(t);
        std::printf("encryption (AES-256, R 6) of that PDF: %.3f s for %.1f MB; ratio encryption / formatter call "
                    "%.3f\n",
                    encryptSeconds,
                    double(encrypted.size()) / 1e6,
                    encryptSeconds / call200);

        // 6. The whole run with one formatter job and with the default number, against one formatter call
        //    for the same rows (all with the archive), one after the other in this one run.
        const QString pdfDb = work.filePath(QStringLiteral("pdf.sqlite"));
        writeBenchDatabase(pdfDb, certificates);
        const auto timedRun = [&](int jobs, const QString& folder, qint64* files) {
            setFopJobs(jobs);
            QDir(work.path()).mkpath(folder);
            t.restart();
            runPdfRun(window, pdfDb, work.filePath(folder + QStringLiteral("/LA.pdf")));
            const double elapsed = seconds(t);
            *files = QDir(work.filePath(folder)).entryList(QDir::Files).size();
            return elapsed;
        };
        qint64 filesOneJob = 0;
        qint64 filesDefault = 0;
        const double oneJobSeconds = timedRun(1, QStringLiteral("pdf1"), &filesOneJob);
        const double defaultSeconds = timedRun(0, QStringLiteral("pdfn"), &filesDefault);
        const int defaultJobs = fopJobLimit(0, QThread::idealThreadCount(), availableMemoryBytes(), kFormatterJobBytes);

        const TextStream one = wholeDocument(pdfDb, &rows);
        const QString oneXml = work.filePath(QStringLiteral("one.xml"));
        one.saveToFile(oneXml);
        t.restart();
        oneCall(oneXml, work.filePath(QStringLiteral("one.pdf")));
        const double oneSeconds = seconds(t);
        t.restart();
        oneCall(oneXml, work.filePath(QStringLiteral("one-before.pdf")), before);
        const double oneBeforeSeconds = seconds(t);
        t.restart();
        QString version;
        clsShell().ExecAndCapture(QStringLiteral("java -version"), QStringLiteral("./"), version);
        const double javaSeconds = seconds(t);

        std::printf("PDF run, 1 formatter job: %d certificates, %lld PDF files in %.2f s\n",
                    certificates,
                    filesOneJob,
                    oneJobSeconds);
        std::printf("PDF run, default %d formatter jobs (%d cores): %lld PDF files in %.2f s\n",
                    defaultJobs,
                    QThread::idealThreadCount(),
                    filesDefault,
                    defaultSeconds);
        std::printf("one formatter call, same certificates in one document: %.2f s (sheet before: %.2f s)\n",
                    oneSeconds,
                    oneBeforeSeconds);
        // Side-by-side jobs gain only what the other programs leave of the cores.
        std::printf("load average (1, 5, 15 min) at the end: %s\n", loadAverage().constData());
        std::printf("ratio default / one call: %.2f; default / 1 job: %.2f; 1 job / one call: %.2f "
                    "(one \"java -version\": %.2f s)\n",
                    defaultSeconds / oneSeconds,
                    defaultSeconds / oneJobSeconds,
                    oneJobSeconds / oneSeconds,
                    javaSeconds);
        std::printf("ratio default / one call with the sheet before: %.2f\n", defaultSeconds / oneBeforeSeconds);
    } catch (const LaError& e) {
        std::fprintf(stderr, "error %d: %s\n%s\n", e.number(), qPrintable(e.source()), qPrintable(e.description()));
        return 1;
    }
    gLog.reset();
    return prompt.boxes == 0 ? 0 : 1;
}
