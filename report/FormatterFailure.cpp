#include "report/FormatterFailure.h"

#include "platform/Functions.h"
#include "platform/clsShell.h"

#include <QRegularExpression>

namespace {

// The shell's status for a command it could not find.
constexpr int kCommandNotFound = 127;

QString lastLine(const QString& output)
{
    const QStringList lines = output.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.last().trimmed();
}

} // namespace

QString formatterFailureReason(const FopJobPool::Result& result, int timeLimitSeconds)
{
    if (result.timedOut)
        return QStringLiteral("Der Formatierer hat das Zeitlimit von %1 Sekunden (Einstellung FopTimeout) "
                              "überschritten und wurde beendet")
            .arg(timeLimitSeconds);
    if (result.exitStatuses.value(0) == clsShell::kNotStarted)
        return QStringLiteral("Java ist nicht installiert oder nicht im Suchpfad (Programm 'java' nicht gefunden)");
    if (result.exitStatuses.value(1) == kCommandNotFound) {
        const QString line = lastLine(result.outputs.value(1));
        return QStringLiteral("Ein Programm des Formatierers wurde nicht gefunden") +
               (line.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(line));
    }
    return {};
}

QProcessEnvironment formatterEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString own = userTempDirectory(GetTempDir(false));
    if (!own.isEmpty())
        environment.insert(QStringLiteral("LOHNAUSWEIS_PRIVATE_DIR"), own);
    return environment;
}
