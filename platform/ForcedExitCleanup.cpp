#include "platform/ForcedExitCleanup.h"

#include <QFile>
#include <algorithm>
#include <csignal>
#include <unistd.h>

void ForcedExitCleanup::addFile(const QString& path)
{
    QByteArray name = QFile::encodeName(path);
    const std::lock_guard lock(m_mutex);
    m_files.push_back(std::move(name));
}

void ForcedExitCleanup::removeFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const std::lock_guard lock(m_mutex);
    if (const auto it = std::find(m_files.begin(), m_files.end(), name); it != m_files.end())
        m_files.erase(it);
}

void ForcedExitCleanup::addProcessGroup(qint64 group)
{
    if (group <= 0)
        return;
    const std::lock_guard lock(m_mutex);
    m_groups.push_back(group);
}

void ForcedExitCleanup::removeProcessGroup(qint64 group)
{
    const std::lock_guard lock(m_mutex);
    if (const auto it = std::find(m_groups.begin(), m_groups.end(), group); it != m_groups.end())
        m_groups.erase(it);
}

void ForcedExitCleanup::endNow() noexcept
{
    const std::lock_guard lock(m_mutex);
    // The groups first: a formatter still writing would otherwise recreate a file just removed.
    for (const qint64 group : m_groups)
        ::kill(-pid_t(group), SIGKILL);
    for (const QByteArray& file : m_files)
        ::unlink(file.constData());
}

ScopedCleanupFile::ScopedCleanupFile(ForcedExitCleanup* cleanup, QString path)
    : m_cleanup(cleanup)
    , m_path(std::move(path))
{
    if (m_cleanup && !m_path.isEmpty())
        m_cleanup->addFile(m_path);
}

ScopedCleanupFile::~ScopedCleanupFile()
{
    if (m_cleanup && !m_path.isEmpty())
        m_cleanup->removeFile(m_path);
}
