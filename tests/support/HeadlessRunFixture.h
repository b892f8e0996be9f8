#pragma once

// Fixture of the headless run tests (tests/app/HeadlessRunTest.cpp): the program started as a
// separate process on the store and temporary directory of the test.

#include "platform/clsRegistryHandler.h"
#include "support/AppTestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

struct RunResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the program without a display, on the store and temporary directory of the test.
class HeadlessRun : public AppTest
{
protected:
    RunResult run(const QStringList& arguments) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : QStringLiteral("DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LOHNAUSWEIS_USER "
                                                  "LOHNAUSWEIS_PASSWORD LOHNAUSWEIS_PDF_PASSWORD")
                                       .split(u' '))
            env.remove(name);
        // A stand-in for the desktop's "Open" goes first on the path: it records what the run opens.
        env.insert(QStringLiteral("PATH"), tempDir() + QStringLiteral("/bin:") + env.value(QStringLiteral("PATH")));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(tempDir());
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    // A run with the transfer type OLE, which reads the SQLite file named as the source.
    RunResult runOle(const QString& source, const char* toFile, const char* output, const char* more = "") const
    {
        return run(QStringLiteral("--run --transfer ole --lib LOVARLIB --output").split(u' ')
                   << QString::fromLatin1(output) << QStringLiteral("--source") << source << QStringLiteral("--to")
                   << path(toFile) << QString::fromLatin1(more).split(u' ', Qt::SkipEmptyParts));
    }

    QString path(const char* name) const { return tempDir() + u'/' + QString::fromLatin1(name); }
};
