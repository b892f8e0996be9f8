#pragma once

#include <QByteArray>
#include <QString>

class QPDF;
class QPDFWriter;

// Protection of a finished PDF for the person it goes to, done in our own process so that the password
// never stands on a command line or in an environment: AES-256 with revision 6 of the standard security
// handler (revision 5, which FOP writes, has a password check that is cheap to attack), the PDF opens
// only with the user password, every permission is granted, and the owner password is one nobody knows
// (random, never the user password).

// Removes the PDF/A identification from the document's XMP metadata: the archive standard forbids
// encryption, and viewers treat a file that claims it as a read-only archive copy.
void dropPdfAIdentification(QPDF& pdf);

// Sets that protection on a writer, for callers that build the PDF with qpdf themselves.
void applyPdfProtection(QPDFWriter& writer, const QString& userPassword);

// The finished PDF `pdf` protected by `userPassword`, without its PDF/A identification. Throws LaError 5 naming
// `description` (the file's name) when `pdf` cannot be read as a PDF.
QByteArray protectedPdf(const QByteArray& pdf, const QString& userPassword, const QString& description);
