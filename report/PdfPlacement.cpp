#include "report/PdfPlacement.h"

#include "platform/AtomicOutputFile.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/TempFileInUse.h"
#include "report/PdfProtection.h"

#include <QFile>
#include <cerrno>

namespace {

constexpr qint64 kChunkBytes = 1024 * 1024;

} // namespace

PdfPlacement::PdfPlacement(const QString& finalName)
    : m_finalName(finalName)
    , m_output(finalName.isEmpty() ? nullptr : std::make_unique<AtomicOutputFile>(finalName))
{
    const QString folder = privateTempDirectory();
    if (!folder.isEmpty())
        m_renderedFile = CreateTempFile(QStringLiteral("pdf"), folder);
    if (m_renderedFile.isEmpty())
        throw LaError::runtime(ErrNo::PathFileAccess,
                               QStringLiteral("Im temporären Verzeichnis kann keine Datei angelegt werden."));
    // The clean-up of stale files by another instance leaves it alone while the formatter writes.
    m_inUse = std::make_unique<TempFileInUse>(m_renderedFile);
}

PdfPlacement::~PdfPlacement()
{
    QFile::remove(m_renderedFile);
}

void PdfPlacement::place(bool withPassword, const QString& password)
{
    if (!m_output)
        throw LaError::runtime(ErrNo::ObjectNotSet);
    QFile rendered(m_renderedFile);
    if (!rendered.open(QIODevice::ReadOnly))
        throw fileError(errno ? errno : EIO, m_renderedFile);
    // An unprotected PDF stays exactly as the formatter wrote it (PDF/A for the archive).
    if (withPassword) {
        const QByteArray pdf = rendered.readAll();
        if (rendered.error() != QFileDevice::NoError)
            throw fileError(EIO, m_renderedFile);
        m_output->write(protectedPdf(pdf, password, m_finalName));
    } else {
        for (QByteArray chunk = rendered.read(kChunkBytes); !chunk.isEmpty(); chunk = rendered.read(kChunkBytes))
            m_output->write(chunk);
        if (rendered.error() != QFileDevice::NoError)
            throw fileError(EIO, m_renderedFile);
    }
    m_output->commit();
}
