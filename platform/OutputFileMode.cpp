#include "platform/OutputFileMode.h"

#include "app/Globals.h"
#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"

#include <QRegularExpression>

namespace {

constexpr mode_t kDefaultMode = 0600;

} // namespace

mode_t outputFileModeFrom(const QString& value)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return kDefaultMode;
    static const QRegularExpression octal(QStringLiteral("^0?[0-7]{3}$"));
    bool ok = octal.match(text).hasMatch();
    const uint mode = ok ? text.toUInt(&ok, 8) : 0;
    if (!ok || (mode & 0600) != 0600)
        throw LaError::runtime(ErrNo::InvalidCall,
                               QStringLiteral("Die Einstellung %1 ('%2') ist keine Zugriffsberechtigung in Oktalform, "
                                              "die dem Eigentümer Lesen und Schreiben erlaubt, wie 0600 oder 0640.")
                                   .arg(QString::fromLatin1(SettingName::OutputFileMode), value));
    return mode_t(mode);
}

mode_t outputFileMode()
{
    const QString name = QString::fromLatin1(SettingName::OutputFileMode);
    clsRegistryHandler store;
    const QString value = store.GetSettingString(name, QStringLiteral("-"));
    if (value != QStringLiteral("-"))
        return outputFileModeFrom(value);
    // Stored as a number, 640 stands for 0640, as an administrator writes it.
    constexpr qint32 kMissing = -1;
    if (const qint32 number = store.GetSettingLong(name, kMissing); number != kMissing)
        return outputFileModeFrom(QString::number(number));
    return kDefaultMode;
}
