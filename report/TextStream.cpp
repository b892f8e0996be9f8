#include "report/TextStream.h"

#include "platform/FileDescriptor.h"
#include "platform/LaError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// The system's own reason ("Datenträger voll" for a full temporary folder) rather than a stream's
// error text, which for some failures says no more than "unknown error".
[[noreturn]] void fail(const QString& file, const char* what, int code)
{
    const int number = errorNumberForErrno(code);
    throw LaError::runtime(
        number, QStringLiteral("Datei '%1' %2: %3").arg(file, QString::fromUtf8(what), errorDescription(number)));
}

} // namespace

void TextStream::WriteText(const QString& text)
{
    m_text += text;
}

void TextStream::saveToFile(const QString& file) const
{
    const QByteArray bytes = m_text.toUtf8();
    FileDescriptor out(::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (out.get() < 0)
        fail(file, "kann nicht geschrieben werden", errno);
    // A document cut short would reach the formatter as a broken file; a short write or a failing
    // close (a full disk shows up there) must end the run instead.
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(out.get(), data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            fail(file, "konnte nicht vollständig geschrieben werden", n < 0 ? errno : ENOSPC);
        data += n;
        left -= n;
    }
    if (::close(out.release()) != 0)
        fail(file, "konnte nicht geschlossen werden", errno);
}
