#pragma once

// Fixture of the headless run tests (tests/app/HeadlessRunTest.cpp): the program started as a
// separate process on the store and temporary directory of the test.

#include "platform/clsRegistryHandler.h"
#include "support/AppTestEnvironment.h"
#include "support/CheckBeforeRunSetting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <memory>

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
    // The runs' own tests: their rows are made for what the run does, not to pass the check before it.
    void SetUp() override
    {
        AppTest::SetUp();
        setCheckBeforeRun(false);
    }

    void start(QProcess& process, const QStringList& arguments) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& name : QStringLiteral("DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM LOHNAUSWEIS_USER "
                                                  "LOHNAUSWEIS_PASSWORD LOHNAUSWEIS_PDF_PASSWORD")
                                       .split(u' '))
            env.remove(name);
        // A stand-in for the desktop's "Open" goes first on the path: it records what the run opens.
        env.insert(QStringLiteral("PATH"), tempDir() + QStringLiteral("/bin:") + env.value(QStringLiteral("PATH")));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(tempDir());
        process.start(QStringLiteral(LA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForStarted());
    }

    // The program started and left running, for tests of runs at the same time or killed ones.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const
    {
        auto process = std::make_unique<QProcess>();
        start(*process, arguments);
        return process;
    }

    static RunResult finish(QProcess& process)
    {
        EXPECT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        return {process.exitCode(),
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    RunResult run(const QStringList& arguments) const
    {
        QProcess process;
        start(process, arguments);
        return finish(process);
    }

    // A run with the transfer type OLE, which reads the SQLite file named as the source.
    static QStringList
    oleArguments(const QString& source, const QString& toFile, const char* output, const char* more = "")
    {
        return QStringLiteral("--run --transfer ole --lib LOVARLIB --output").split(u' ')
               << QString::fromLatin1(output) << QStringLiteral("--source") << source << QStringLiteral("--to")
               << toFile << QString::fromLatin1(more).split(u' ', Qt::SkipEmptyParts);
    }
    QStringList oleArguments(const QString& source, const char* toFile, const char* output, const char* more = "") const
    {
        return oleArguments(source, path(toFile), output, more);
    }
    RunResult runOle(const QString& source, const char* toFile, const char* output, const char* more = "") const
    {
        return run(oleArguments(source, toFile, output, more));
    }

    // The lines a run printed on standard output, each split at its tabs.
    static QList<QStringList> summary(const RunResult& r)
    {
        QList<QStringList> lines;
        for (const QString& line : r.out.split(u'\n', Qt::SkipEmptyParts))
            lines.append(line.split(u'\t'));
        return lines;
    }

    QString path(const char* name) const { return tempDir() + u'/' + QString::fromLatin1(name); }
};
