#pragma once

// Used by the time-out test of the MariaDB reader (tests/db/MariaDbReaderTest.cpp).

#include "support/MariaDbServer.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <mutex>
#include <thread>

// Stops the server (SIGSTOP: it keeps its connections but answers nothing) for as long as the object
// lives. Should the client never give up, a watchdog lets the server go on after a minute, so that
// the test fails instead of hanging.
class FrozenServer
{
public:
    explicit FrozenServer(const MariaDbServer& server)
        : m_pid(pid_t(server.processId()))
    {
        ::kill(m_pid, SIGSTOP);
        waitUntilStopped();
        m_watchdog = std::thread([this] {
            std::unique_lock lock(m_mutex);
            m_done.wait_for(lock, std::chrono::minutes(1), [this] { return m_thawed; });
            ::kill(m_pid, SIGCONT);
        });
    }
    ~FrozenServer()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_thawed = true;
        }
        m_done.notify_one();
        m_watchdog.join();
    }
    FrozenServer(const FrozenServer&) = delete;
    FrozenServer& operator=(const FrozenServer&) = delete;

private:
    // The stop reaches the server's threads one by one; until all have stopped, one may still answer.
    void waitUntilStopped() const
    {
        const QString tasks = QStringLiteral("/proc/%1/task").arg(m_pid);
        const auto stopped = [&] {
            for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                QFile stat(tasks + u'/' + task + QStringLiteral("/stat"));
                if (!stat.open(QIODevice::ReadOnly))
                    continue;
                const QByteArray text = stat.readAll();
                if (text.mid(text.lastIndexOf(')') + 2, 1) != "T")
                    return false;
            }
            return true;
        };
        for (int i = 0; i < 500 && !stopped(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }

    pid_t m_pid;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_thawed = false;
    std::thread m_watchdog;
};
