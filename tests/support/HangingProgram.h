#pragma once

#include <QList>
#include <QString>
#include <functional>

// A stand-in for a formatter that hangs: a shell script that writes "%PDF-1.4" into the file named by
// its last argument (when it has one), starts a `sleep` that never ends on its own and waits for it.
// Both write their process ids into a file beside the script. Whatever of it still runs when the
// object goes (a test that failed half-way) is killed then.
class HangingProgram
{
public:
    struct Options
    {
        bool ignoresTerm = false; // SIGTERM is ignored by the script and its sleep
        bool execsSleep = false;  // the script becomes the sleep (exec), as Java's start scripts do
        QString name = QStringLiteral("hang.sh");
    };
    explicit HangingProgram(const QString& directory)
        : HangingProgram(directory, Options())
    {
    }
    HangingProgram(const QString& directory, const Options& options);
    ~HangingProgram();
    HangingProgram(const HangingProgram&) = delete;
    HangingProgram& operator=(const HangingProgram&) = delete;

    QString path() const { return m_script; }
    // The ids written so far: the script's, then the sleep's (one id when the script execs the sleep).
    QList<qint64> processIds() const;
    bool running() const { return processIds().size() == (m_execs ? 1 : 2); }

    // Runs `action` once from the event loop as soon as both processes run.
    void whenRunning(std::function<void()> action) const;

    // Waits up to 10 s for the processes to end; true when they have (a zombie counts as ended).
    static bool ended(const QList<qint64>& ids);

private:
    QString m_script;
    QString m_ids;
    bool m_execs = false;
};
