#include "support/HangingProgram.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <QTimer>
#include <csignal>

HangingProgram::HangingProgram(const QString& directory, const Options& options)
    : m_script(directory + u'/' + options.name)
    , m_ids(directory + QStringLiteral("/hang.pids"))
    , m_execs(options.execsSleep)
{
    QFile::remove(m_ids);
    QFile script(m_script);
    script.open(QIODevice::WriteOnly | QIODevice::Truncate);
    QString text = QStringLiteral("#!/bin/sh\n");
    if (options.ignoresTerm)
        text += QStringLiteral("trap '' TERM\n");
    text += QStringLiteral("if [ $# -gt 0 ]; then for last; do :; done; printf '%%PDF-1.4' > \"$last\"; fi\n");
    if (options.execsSleep)
        text += QStringLiteral("echo $$ > '%1.part' && mv '%1.part' '%1'\nexec sleep 3600\n").arg(m_ids);
    else
        // The sleep ignores SIGTERM while the script ends on it, as a Java VM may outlive the shell in
        // front of it: only a SIGKILL to the whole group, after the script has gone, ends it.
        text +=
            QStringLiteral(
                "(trap '' TERM; exec sleep 3600) &\nprintf '%s\\n%s\\n' $$ $! > '%1.part' && mv '%1.part' '%1'\nwait\n")
                .arg(m_ids);
    script.write(text.toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

HangingProgram::~HangingProgram()
{
    for (const qint64 id : processIds()) {
        // Only what still is one of ours: the id may have gone to another process meanwhile.
        QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(id));
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray command = cmdline.readAll();
        if (command.startsWith("sleep") || command.contains(QFile::encodeName(m_script)))
            ::kill(pid_t(id), SIGKILL);
    }
}

QList<qint64> HangingProgram::processIds() const
{
    QList<qint64> ids;
    QFile file(m_ids);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                ids.append(line.toLongLong());
        }
    }
    return ids;
}

void HangingProgram::whenRunning(std::function<void()> action) const
{
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [this, poll, action = std::move(action)] {
        if (!running())
            return;
        poll->stop();
        poll->deleteLater();
        action();
    });
    poll->start();
}

bool HangingProgram::ended(const QList<qint64>& ids)
{
    const auto alive = [](qint64 id) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(id));
        if (!stat.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = stat.readAll();
        const qsizetype close = text.lastIndexOf(')');
        return close < 0 || text.mid(close + 2, 1) != "Z";
    };
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        if (std::none_of(ids.begin(), ids.end(), alive))
            return true;
        if (waited.elapsed() > 10000)
            return false;
        QThread::msleep(20);
    }
}
