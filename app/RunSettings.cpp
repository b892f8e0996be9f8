#include "app/RunSettings.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "platform/AppIdentity.h"
#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>

namespace {

// The store's answer when a value is missing; a value holding exactly this text counts as missing
// too, while other spellings ("null") are taken as real paths.
const QString kMissing = QStringLiteral("NULL");

// A default that cannot be stored is used all the same: the run must not fail for a settings
// store it only wanted to tidy up. The first failure is kept for the caller to report.
QString readWithDefault(clsRegistryHandler& store,
                        const char* name,
                        const char* defaultValue,
                        std::optional<LaError>& writeFailure)
{
    const QString valueName = QString::fromUtf8(name);
    QString value = store.GetSettingString(valueName, kMissing);
    if (value == kMissing) {
        value = QString::fromUtf8(defaultValue);
        try {
            store.SaveSettingString(valueName, value);
        } catch (...) {
            if (!writeFailure)
                writeFailure = toLaError(std::current_exception());
        }
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
        std::optional<LaError> writeFailure;
        gFopPath = readWithDefault(store, SettingName::FOP, kDefaultFopPath, writeFailure);
        gXslPath = readWithDefault(store, SettingName::XSL, kDefaultXslPath, writeFailure);
        gExportTable = readWithDefault(store, SettingName::LOVARSFile, kDefaultExportTable, writeFailure);
        // Once per start: every run would otherwise repeat the same box.
        if (writeFailure && !(gFrmMain && gFrmMain->storeWarningShown())) {
            if (gFrmMain)
                gFrmMain->setStoreWarningShown();
            showError(*writeFailure,
                      16,
                      QStringLiteral("frmMain.getINITValues"),
                      QStringLiteral("Die Vorgabewerte werden verwendet, können aber nicht gespeichert werden."));
        }
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

bool checkBeforeRunSetting()
{
    try {
        return clsRegistryHandler().GetSettingLong(QString::fromUtf8(SettingName::CheckBeforeRun), 1) != 0;
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings; the check stays on.
        return true;
    }
}

FormLanguageChoice formLanguageSetting()
{
    try {
        return parseFormLanguageChoice(
            clsRegistryHandler().GetSettingString(QString::fromUtf8(SettingName::FormLanguage)));
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings.
        return FormLanguageChoice::Auto;
    }
}

QString employeeFileNamePattern()
{
    try {
        return clsRegistryHandler().GetSettingString(QString::fromUtf8(SettingName::EmployeeFileName));
    } catch (...) {
        // An unreadable store is reported where the run reads its other settings.
        return {};
    }
}
