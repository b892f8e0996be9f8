#pragma once

// Fixture of the sequential text file tests (tests/platform/clsFSConnectTest.cpp).

#include "platform/LaError.h"
#include "platform/clsFSConnect.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

template <typename F> LaError expectError(F&& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return e;
    }
    ADD_FAILURE() << "no error raised";
    return LaError(0, {}, {});
}

class FSConnectTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
};
