#include "report/OverwriteQuestion.h"

#include "app/Globals.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"

#include <QFileInfo>

bool mayWriteOutputFile(const QString& file)
{
    const QFileInfo info(file);
    if (info.isDir())
        throw LaError::runtime(ErrNo::PathFileAccess,
                               QStringLiteral("Unter dem Namen \"%1\" steht ein Ordner; er wird nicht ersetzt. Bitte "
                                              "einen anderen Dateinamen wählen.")
                                   .arg(info.absoluteFilePath()));
    if (gOverwriteAsked || !(info.exists() || info.isSymLink()))
        return true;
    gOverwriteAsked = true;
    const int answer =
        prompt().messageBox(QStringLiteral("Soll die Datei \"") + file + QStringLiteral("\" überschrieben werden?"),
                            MsgStyle::OkCancel,
                            QStringLiteral("Datei überschreiben"));
    return answer != MsgAnswer::Cancel;
}

bool overwriteQuestionDue(const QString& file)
{
    const QFileInfo info(file);
    return !gOverwriteAsked && !info.isDir() && (info.exists() || info.isSymLink());
}
