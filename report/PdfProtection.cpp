#include "report/PdfProtection.h"

#include "platform/LaError.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <exception>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

namespace {

// 256 random bits from the system's source, as 64 hexadecimal digits.
QByteArray randomOwnerPassword()
{
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex();
}

} // namespace

void dropPdfAIdentification(QPDF& pdf)
{
    QPDFObjectHandle metadata = pdf.getRoot().getKey("/Metadata");
    if (!metadata.isStream())
        return;
    const std::shared_ptr<Buffer> data = metadata.getStreamData(qpdf_dl_all);
    QString xmp = QString::fromUtf8(reinterpret_cast<const char*>(data->getBuffer()), qsizetype(data->getSize()));
    // As elements or as attributes of the description, the forms XMP allows, and the name space.
    static const QRegularExpression element(QStringLiteral("<pdfaid:(\\w+)>[^<]*</pdfaid:\\1>"));
    static const QRegularExpression attribute(QStringLiteral("\\s+(xmlns:)?pdfaid(:\\w+)?=\"[^\"]*\""));
    const qsizetype before = xmp.size();
    xmp.remove(element).remove(attribute);
    if (xmp.size() != before)
        metadata.replaceStreamData(
            xmp.toUtf8().toStdString(), QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
}

void applyPdfProtection(QPDFWriter& writer, const QString& userPassword)
{
    const QByteArray user = userPassword.toUtf8();
    QByteArray owner = randomOwnerPassword();
    while (owner == user)
        owner = randomOwnerPassword();
    writer.setR6EncryptionParameters(user.constData(),
                                     owner.constData(),
                                     true, // accessibility
                                     true, // extract
                                     true, // assemble
                                     true, // annotate and fill in forms
                                     true, // fill in forms
                                     true, // modify other
                                     qpdf_r3p_full,
                                     true); // metadata encrypted too
}

QByteArray protectedPdf(const QByteArray& pdf, const QString& userPassword, const QString& description)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile(description.toUtf8().constData(), pdf.constData(), size_t(pdf.size()));
        dropPdfAIdentification(document);
        QPDFWriter writer(document);
        writer.setOutputMemory();
        applyPdfProtection(writer, userPassword);
        writer.write();
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception& e) {
        throw LaError::runtime(ErrNo::InvalidCall,
                               QStringLiteral("Die PDF-Datei '%1' kann nicht verschlüsselt werden: %2")
                                   .arg(description, QString::fromLocal8Bit(e.what())));
    }
}
