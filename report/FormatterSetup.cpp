#include "report/FormatterSetup.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/clsRegistryHandler.h"

#include <QFileInfo>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The existing ordinary file a setting leads to; empty, with a description of the miss, when none.
QString find(const char* setting, const QString& value, QStringList& misses)
{
    const QStringList places = applFilePlaces(value);
    for (const QString& place : places) {
        if (!place.isEmpty() && QFileInfo(place).isFile())
            return place;
    }
    misses.append(applFileMiss(value) + kCrLf +
                  QStringLiteral("Einstellung %1, gesucht als: ").arg(QString::fromLatin1(setting)) +
                  places.join(QStringLiteral(", ")));
    return {};
}

} // namespace

FormatterCall formatterCallFor(const MainWindowView& window)
{
    // Every document of the run would fail the same way: one message before the first of them is
    // asked about or rendered, instead of one per document.
    QStringList misses;
    FormatterCall call;
    call.formatter = find(SettingName::FOP, gFopPath, misses);
    call.styleSheet = find(SettingName::XSL, gXslPath, misses);
    if (!misses.isEmpty())
        throw LaError(ErrNo::PathNotFoundOwn,
                      QStringLiteral("frmMain"),
                      misses.join(kCrLf) + kCrLf + QStringLiteral("Einstellungsdatei: ") +
                          clsRegistryHandler::storeFilePath());
    call.withPassword = window.chkPassword();
    if (call.withPassword)
        call.password = window.txtPDFPassword();
    return call;
}
