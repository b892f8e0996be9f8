#pragma once

// Fixture of the file and path utility tests (tests/platform/FunctionsTest.cpp).

#include "app/Globals.h"
#include "platform/Functions.h"
#include "support/RecordingPrompt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

inline void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Sets TMPDIR (or unsets it for null) until the end of the scope.
class ScopedTmpdir
{
public:
    explicit ScopedTmpdir(const QString* value)
        : m_had(qEnvironmentVariableIsSet("TMPDIR"))
        , m_old(qgetenv("TMPDIR"))
    {
        value ? qputenv("TMPDIR", QFile::encodeName(*value)) : qunsetenv("TMPDIR");
    }
    ~ScopedTmpdir() { m_had ? qputenv("TMPDIR", m_old) : qunsetenv("TMPDIR"); }

private:
    bool m_had;
    QByteArray m_old;
};
