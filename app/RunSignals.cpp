#include "app/RunSignals.h"

#include "platform/RunCancel.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
// Written by the destructor: the watcher ends.
constexpr unsigned char kStop = 0;

// A signal handler can reach nothing but what lives at file scope; these two exist only while a
// RunSignals object does.
int s_pipe[2] = {-1, -1};
struct sigaction s_previous[std::size(kSignals)];

extern "C" void onTerminationSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}

const char kSecondSignal[] =
    "Der Lauf wurde durch ein zweites Signal sofort beendet: die Formatierer wurden beendet, temporäre und halb "
    "geschriebene Dateien gelöscht. Fertig erstellte Dateien bleiben erhalten.\n";
const char kNotTakenUp[] =
    "Der Lauf wurde abgebrochen, ohne auf die Antwort der Datenbank zu warten (noch keine Antwort einige Sekunden "
    "nach dem Abbruch). Fertig erstellte Dateien bleiben erhalten, temporäre und halb geschriebene Dateien wurden "
    "gelöscht.\n";

} // namespace

RunSignals::RunSignals(RunCancel& cancel)
    : m_cancel(cancel)
{
    if (s_pipe[0] >= 0 || ::pipe2(s_pipe, O_CLOEXEC) != 0)
        return;
    m_installed = true;
    m_watcher = std::thread([this] { watch(); });

    struct sigaction action
    {
    };
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    // A driver waiting in a read goes on waiting; the watcher ends such a wait if it must.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &s_previous[i]);
}

RunSignals::~RunSignals()
{
    if (!m_installed)
        return;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &s_previous[i], nullptr);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &kStop, 1);
    m_watcher.join();
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

void RunSignals::watch()
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point requestedAt;
    for (;;) {
        pollfd readable{s_pipe[0], POLLIN, 0};
        if (::poll(&readable, 1, 200) > 0) {
            unsigned char byte = kStop;
            if (::read(s_pipe[0], &byte, 1) != 1 || byte == kStop)
                return;
            if (m_caught.load() != 0)
                endNow(kSecondSignal, kForcedExit);
            m_caught = byte;
            requestedAt = Clock::now();
            m_cancel.requestFromAnyThread();
        }
        if (m_caught.load() != 0 && m_runActive.load() && !m_cancel.takenUp() &&
            Clock::now() - requestedAt > std::chrono::seconds(kTakeUpSeconds))
            endNow(kNotTakenUp, exitStatus());
    }
}

void RunSignals::endNow(const char* message, int status)
{
    m_cancel.forcedExitCleanup().endNow();
    // Straight to the descriptor: the run's thread may hold the lock of stderr's stream.
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message, std::strlen(message));
    ::_exit(status);
}
