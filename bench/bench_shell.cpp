// Figures of the process runner: what a start costs and how fast a program's output is captured, and
// what watching a cancel request while waiting adds to either.
//
//   bench_shell [starts [megabytes]]     (defaults 200 and 200)

#include "platform/RunCancel.h"
#include "platform/clsShell.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>

namespace {

double secondsFor(const QString& commandLine, int times, RunCancel* cancel, qsizetype* captured = nullptr)
{
    clsShell shell;
    shell.setCancel(cancel);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < times; ++i) {
        QString ret;
        shell.ExecAndCapture(commandLine, {}, ret);
        if (captured)
            *captured = ret.size();
    }
    return double(timer.nsecsElapsed()) / 1e9;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int starts = argc > 1 ? std::atoi(argv[1]) : 200;
    const int megabytes = argc > 2 ? std::atoi(argv[2]) : 200;
    const QString output = QStringLiteral("sh -c \"head -c %1 /dev/zero | tr '\\\\0' x\"").arg(qint64(megabytes) << 20);
    RunCancel cancel;
    for (RunCancel* watched : {static_cast<RunCancel*>(nullptr), &cancel}) {
        const double start = secondsFor(QStringLiteral("true"), starts, watched) / starts;
        qsizetype captured = 0;
        const double capture = secondsFor(output, 1, watched, &captured);
        std::printf("%-22s start %.2f ms, capture %lld MB in %.2f s = %.0f MB/s\n",
                    watched ? "cancel watched:" : "no cancel watched:",
                    start * 1e3,
                    static_cast<long long>(captured >> 20),
                    capture,
                    double(megabytes) / capture);
    }
    return 0;
}
