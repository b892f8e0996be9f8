#include "app/RunSettings.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "platform/AppIdentity.h"
#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// The store's answer when a value is missing; a value holding exactly this text counts as missing
// too, while other spellings ("null") are taken as real paths.
const QString kMissing = QStringLiteral("NULL");

QString readWithDefault(clsRegistryHandler& store, const char* name, const char* defaultValue)
{
    const QString valueName = QString::fromUtf8(name);
    QString value = store.GetSettingString(valueName, kMissing);
    if (value == kMissing) {
        value = QString::fromUtf8(defaultValue);
        store.SaveSettingString(valueName, value);
    }
    return value;
}

} // namespace

void initGlobals()
{
    gVersion = appVersionText();
    gAppPath = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

void getINITValues()
{
    try {
        clsRegistryHandler store;
        // Each global is set as soon as its value is known, so that a failing store leaves the
        // values read before the failure in place.
        gFopPath = readWithDefault(store, SettingName::FOP, kDefaultFopPath);
        gXslPath = readWithDefault(store, SettingName::XSL, kDefaultXslPath);
        gExportTable = readWithDefault(store, SettingName::LOVARSFile, kDefaultExportTable);
    } catch (...) {
        showError(16, QStringLiteral("frmMain.getINITValues"));
    }
}

int dbTimeoutSeconds()
{
    constexpr qint32 kDefault = 300;
    try {
        const qint32 seconds = clsRegistryHandler().GetSettingLong(QString::fromUtf8(SettingName::DbTimeout), kDefault);
        return seconds < 0 ? kDefault : seconds;
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings.
        return kDefault;
    }
}

qint16 getMediumIndex()
{
    qint16 result = -1;
    try {
        if (!gFrmMain)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        const int count = gFrmMain->transferButtonCount();
        for (int index = 0; index < count; ++index) {
            if (gFrmMain->transferButtonChecked(index)) {
                result = static_cast<qint16>(index);
                break;
            }
        }
    } catch (...) {
        showError(16, QStringLiteral("frmMain.getMediumIndex"));
    }
    return result;
}

int fopJobsSetting()
{
    try {
        return std::max(0, clsRegistryHandler().GetSettingLong(QString::fromUtf8(SettingName::FopJobs), 0));
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings.
        return 0;
    }
}
