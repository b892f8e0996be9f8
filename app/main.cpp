#include "app/CommandLine.h"
#include "app/Globals.h"
#include "app/HeadlessCheck.h"
#include "app/HeadlessRun.h"
#include "app/SecretArguments.h"
#include "app/WidgetPrompt.h"
#include "app/frmMain.h"
#include "platform/LaError.h"
#include "platform/TempFileInUse.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>
#include <cstdio>

namespace {

void print(std::FILE* out, const QString& text)
{
    std::fputs(text.toUtf8().constData(), out);
}

// Qt's own dialog texts (buttons, file dialog) in German.
void installGermanTranslations(QApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::German, QLocale::Switzerland),
                         QStringLiteral("qtbase"),
                         QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}

// Standard error of a headless run carries the message boxes for scripts to read; Qt's own
// diagnostics (a missing runtime directory and the like) would mix into them.
void quietQtDiagnostics(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg || qEnvironmentVariableIsSet("LOHNAUSWEIS_DEBUG"))
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

int runWindow(QApplication& app)
{
    // Lets the desktop match the window with the menu entry (its name and icon in the task bar).
    QGuiApplication::setDesktopFileName(QStringLiteral("ch.tessarvozavureda.lohnausweis"));
    // The windows were designed with the classic look: captions set into the frame lines and
    // controls that fit their texts. A style the user chose still wins.
    if (qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE")) {
        if (QStyle* classic = QStyleFactory::create(QStringLiteral("Windows")))
            QApplication::setStyle(classic);
    }
    frmMain window;
    gFrmMain = &window;
    WidgetPrompt widgetPrompt(&window);
    const ScopedPrompt scoped(widgetPrompt);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CommandLine commandLine = parseCommandLine(arguments, QProcessEnvironment::systemEnvironment());
    hideSecretArguments(argc, argv);

    try {
        switch (commandLine.mode) {
        case CommandLine::Mode::Help:
            print(stdout, usageText());
            return 0;
        case CommandLine::Mode::UsageError:
            print(stderr, commandLine.error + QStringLiteral("\n\n") + usageText());
            return 2;
        case CommandLine::Mode::DemoDb: {
            qInstallMessageHandler(quietQtDiagnostics);
            QCoreApplication app(argc, argv);
            return runWriteDemoDatabase(commandLine);
        }
        case CommandLine::Mode::Run: {
            // The window stays hidden: no display is needed.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(quietQtDiagnostics);
            QApplication app(argc, argv);
            installGermanTranslations(app);
            TempFileInUse::removeStaleOfKilledRuns();
            return runHeadless(commandLine);
        }
        case CommandLine::Mode::Check: {
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            qInstallMessageHandler(quietQtDiagnostics);
            QApplication app(argc, argv);
            installGermanTranslations(app);
            return runHeadlessCheck(commandLine);
        }
        case CommandLine::Mode::Window: {
            QApplication app(argc, argv);
            installGermanTranslations(app);
            // The salary data of a run that was killed before it could tidy up goes now.
            TempFileInUse::removeStaleOfKilledRuns();
            return runWindow(app);
        }
        }
    } catch (...) {
        const LaError error = toLaError(std::current_exception());
        print(stderr, errorBoxTitle(QStringLiteral("main")) + u'\n' + errorBoxText(error, {}) + QStringLiteral("\n"));
        return 1;
    }
    return 0;
}
