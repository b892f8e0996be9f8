#include "report/FormatterSettings.h"

#include "app/Globals.h"
#include "platform/clsRegistryHandler.h"
#include "report/FopJobPool.h"

#include <QThread>
#include <limits>
#include <optional>

namespace {

constexpr int kDefaultTimeLimitSeconds = 900;
// A timer counts milliseconds in an int.
constexpr int kLongestTimeLimitSeconds = std::numeric_limits<int>::max() / 1000;

// A number stored as a number or as text ("4", as a hand-edited settings file has it). Missing: none;
// a text that is no number: none, with the text in `unusable`.
std::optional<qint64> storedNumber(const char* name, QString& unusable)
{
    clsRegistryHandler store;
    const QString valueName = QString::fromUtf8(name);
    constexpr qint32 kAbsent = std::numeric_limits<qint32>::min();
    if (const qint32 number = store.GetSettingLong(valueName, kAbsent); number != kAbsent)
        return number;
    const QString text = store.GetSettingString(valueName, QStringLiteral("NULL"));
    if (text == QLatin1String("NULL"))
        return std::nullopt;
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (ok)
        return number;
    unusable = text;
    return std::nullopt;
}

} // namespace

int formatterJobCount(QStringList& notes)
{
    const int cores = QThread::idealThreadCount();
    qint64 configured = 0;
    try {
        QString unusable;
        configured = std::max<qint64>(0, storedNumber(SettingName::FopJobs, unusable).value_or(0));
        if (!unusable.isNull())
            notes << QStringLiteral("Die Einstellung FopJobs ('%1') ist keine Zahl und wird übergangen.").arg(unusable);
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings.
    }
    if (configured > 2 * qint64(cores))
        notes << QStringLiteral("Die Einstellung FopJobs (%1) ist mehr als doppelt so gross wie die Zahl der "
                                "Prozessorkerne (%2); es laufen höchstens %3 Formatierer gleichzeitig.")
                     .arg(configured)
                     .arg(cores)
                     .arg(2 * cores);
    const int configuredJobs = int(std::min<qint64>(configured, std::numeric_limits<int>::max()));
    return fopJobLimit(configuredJobs, cores, availableMemoryBytes(), kFormatterJobBytes);
}

int formatterTimeLimitSeconds()
{
    try {
        QString unusable;
        const qint64 seconds = storedNumber(SettingName::FopTimeout, unusable).value_or(kDefaultTimeLimitSeconds);
        if (seconds <= 0)
            return kDefaultTimeLimitSeconds;
        return int(std::min<qint64>(seconds, kLongestTimeLimitSeconds));
    } catch (...) {
        return kDefaultTimeLimitSeconds;
    }
}
