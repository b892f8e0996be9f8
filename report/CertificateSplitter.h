#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

// Splits a rendered document of several certificates into one PDF per certificate, in our own process
// (a formatter call per certificate would cost about a second each). The certificates are found through
// the document's outline: under the company one entry per certificate, pointing at its first page; a
// certificate runs to the page before the next one. They must be the certificates the run wrote into
// the document, in its order: `titles` are what their outline entries say (name, AHV number), compared
// by their letters and digits.
//
// A certificate's PDF keeps the document's metadata, output intent (PDF/A), language, page labels and
// fonts; its outline is the company with this one certificate under it, and its tag structure is the
// document's, restricted to the certificate's pages (elements that lie wholly on them are kept as they
// are, the ones above them shortened to their kids on these pages). Nothing of another certificate's
// pages goes into it.
class CertificateSplitter
{
public:
    // Reads `pdfFile`. Throws LaError 5 naming `description` when it is no PDF qpdf can read or its
    // outline does not list the certificates `titles`.
    CertificateSplitter(const QString& pdfFile, const QStringList& titles, const QString& description);
    ~CertificateSplitter();
    CertificateSplitter(const CertificateSplitter&) = delete;
    CertificateSplitter& operator=(const CertificateSplitter&) = delete;

    qsizetype count() const;

    // The PDF of certificate `index` (from 0): as the formatter wrote it, an archive PDF, when `password`
    // is empty; otherwise protected by it as protectedPdf() protects a whole document. Throws LaError 5
    // naming the document when qpdf cannot write it.
    QByteArray certificate(qsizetype index, const QString& password);

private:
    struct Document;
    std::unique_ptr<Document> m_document;
    QString m_description;
};
