#pragma once

// Small helpers every test folder needs: files read and written whole, the error a call raises, and an
// environment variable set for a scope.

#include "platform/LaError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

// The bytes of a file, "<missing>" when it cannot be read.
inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Writes the file whole, making its folder first.
inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << qPrintable(path);
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// The permission bits of a file (0 when it is missing), not following a link.
inline int modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : 0;
}

// The error `f` raises; a failure and number 0 when it raises none.
inline LaError raisedBy(const std::function<void()>& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return LaError(0, {}, {});
}

// Sets an environment variable (unsets it for nullopt) until the end of the scope.
class ScopedEnv
{
public:
    ScopedEnv(const char* name, const std::optional<QString>& value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_old(qgetenv(name))
    {
        value ? qputenv(name, QFile::encodeName(*value)) : qunsetenv(name);
    }
    ~ScopedEnv() { m_had ? qputenv(m_name, m_old) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};
