#include "report/PdfProtection.h"

#include "support/TestFiles.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {

// A PDF without pages whose catalog carries `xmp` as its metadata.
QByteArray pdfWithMetadata(const QByteArray& xmp)
{
    const QByteArray objects[] = {
        "<</Type/Catalog/Pages 2 0 R/Metadata 3 0 R>>",
        "<</Type/Pages/Kids[]/Count 0>>",
        "<</Type/Metadata/Subtype/XML/Length " + QByteArray::number(xmp.size()) + ">>\nstream\n" + xmp + "\nendstream",
    };
    QByteArray pdf = "%PDF-1.7\n";
    QByteArray xref = "xref\n0 4\n0000000000 65535 f \n";
    for (int i = 0; i < 3; ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    return pdf + xref + "trailer\n<</Size 4/Root 1 0 R>>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

// qpdf's exit status and what it printed.
std::pair<int, QString> qpdf(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("qpdf"), arguments);
    process.waitForFinished();
    return {process.exitCode(), QString::fromUtf8(process.readAll())};
}

} // namespace

// Whatever the password holds, the PDF opens with it and only with it: AES-256 of revision 6, every
// permission, and an owner password that is not the user's. An archive claim (PDF/A) goes with the
// encryption; the rest of the metadata stays.
TEST(PdfProtection, Aes256OfRevision6OpensWithTheUserPasswordOnly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("LA.pdf"));
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    const QByteArray xmp =
        "<rdf:RDF><rdf:Description "
        "xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\"><pdfaid:part>2</pdfaid:part><pdfaid:conformance>B"
        "</pdfaid:conformance><dc:title>Lohnausweis</dc:title></rdf:Description><rdf:Description "
        "pdfaid:part=\"2\" pdfaid:conformance=\"B\" rdf:about=\"\"/></rdf:RDF>";
    for (const QString& password :
         {QStringLiteral("geheim"), QStringLiteral("-o"), QStringLiteral("Pässwort \"mit\" Leerzeichen")}) {
        SCOPED_TRACE(password.toStdString());
        writeBytes(file, protectedPdf(pdfWithMetadata(xmp), password, file));
        EXPECT_EQ(qpdf({QStringLiteral("--requires-password"), file}).first, 0);
        const auto [status, shown] = qpdf({QStringLiteral("--show-encryption"), "--password=" + password, file});
        EXPECT_EQ(status, 0) << shown.toStdString();
        for (const char* line :
             {"R = 6", "P = -4", "Supplied password is user password", "file encryption method: AESv3"})
            EXPECT_TRUE(shown.contains(QString::fromLatin1(line))) << line << "\n" << shown.toStdString();
        EXPECT_FALSE(shown.contains(QStringLiteral("Supplied password is owner password"))); // no owner rights

        ASSERT_EQ(qpdf({"--password=" + password, "--decrypt", "--stream-data=uncompress", file, plain}).first, 0);
        const QByteArray decrypted = readBytes(plain);
        EXPECT_TRUE(decrypted.contains("<dc:title>Lohnausweis</dc:title>"));
        EXPECT_FALSE(decrypted.contains("pdfaid")) << decrypted.toStdString();
    }

    const LaError e = raisedBy([] { protectedPdf("kein PDF", QStringLiteral("x"), QStringLiteral("LA.pdf")); });
    EXPECT_EQ(e.number(), ErrNo::InvalidCall);
    EXPECT_TRUE(e.description().startsWith(QStringLiteral("Die PDF-Datei 'LA.pdf' kann nicht verschlüsselt werden: ")));
}
