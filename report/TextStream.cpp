#include "report/TextStream.h"

#include "platform/LaError.h"

#include <QFile>

void TextStream::WriteText(const QString& text)
{
    m_text += text;
}

void TextStream::saveToFile(const QString& file) const
{
    const QByteArray bytes = m_text.toUtf8();
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw LaError::runtime(
            ErrNo::PathFileAccess,
            QStringLiteral("Datei '%1' kann nicht geschrieben werden: %2").arg(file, out.errorString()));
    // A document cut short would reach the formatter as a broken file; a short write or a failing
    // close (a full disk shows up there) must end the run instead.
    if (out.write(bytes) != bytes.size() || !out.flush())
        throw LaError::runtime(
            ErrNo::DeviceIo,
            QStringLiteral("Datei '%1' konnte nicht vollständig geschrieben werden: %2").arg(file, out.errorString()));
    out.close();
    if (out.error() != QFileDevice::NoError)
        throw LaError::runtime(
            ErrNo::DeviceIo,
            QStringLiteral("Datei '%1' konnte nicht geschlossen werden: %2").arg(file, out.errorString()));
}
