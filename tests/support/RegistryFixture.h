#pragma once

// Fixture of the settings store tests (tests/platform/clsRegistryHandlerTest.cpp). Include it in that
// file only: it holds the writer half of the two-process test, which runs at program start.

#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

// The writer half of the two-process test: the test program started again with
// LA_REGISTRY_WRITER=<prefix>:<count> writes its values and ends before any test runs.
const int kWriterExitCode = [] {
    const QByteArray job = qgetenv("LA_REGISTRY_WRITER");
    if (job.isEmpty())
        return 0;
    const QList<QByteArray> parts = job.split(':');
    int rc = 0;
    try {
        clsRegistryHandler store;
        for (int i = 0; i < parts.value(1).toInt(); ++i)
            store.SaveSettingLong(QString::fromLatin1(parts.value(0)) + QString::number(i), i);
    } catch (const LaError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        rc = 1;
    }
    std::exit(rc);
}();

const char* const kSection = "[HKEY_CURRENT_USER\\Software\\Tessar Vozavureda\\LOVAR/400 Rariz Neuer Lohnausweis]";
const auto HKCU = clsRegistryHandler::HKEY_CURRENT_USER_;

// The number and location of the error `f` raises, 0 and "" when it raises none.
inline std::pair<int, QString> errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const LaError& e) {
        return {e.number(), e.source()};
    }
    return {0, {}};
}

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", m_old); }

    QString storePath() const { return config.path() + QStringLiteral("/Tessar Vozavureda/registry.reg"); }

    QByteArray storeText() const
    {
        QFile f(storePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    void writeStore(const QByteArray& text) const
    {
        QDir().mkpath(QFileInfo(storePath()).absolutePath());
        QFile f(storePath());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(text), text.size());
    }

    // A text value, "NULL" when there is none.
    QString text(const QString& name) { return store.GetSettingString(name, QStringLiteral("NULL")); }

    QTemporaryDir config;
    clsRegistryHandler store;

private:
    QByteArray m_old;
};
