#pragma once

#include <QString>
#include <memory>

class AtomicOutputFile;
class TempFileInUse;

// The way of one PDF from the formatter to its final name. The formatter writes only into a file that
// the program made for it, new and owner-only, in the program's private temporary folder
// ("pdfXXXXXX.tmp"); the program then puts the finished PDF under its final name through an
// AtomicOutputFile: byte for byte as the formatter wrote it, or encrypted with the user's password
// (PdfProtection). So a predecessor is replaced only by a complete file, with the permissions of
// outputFileMode(), and nothing is written through a file, link or FIFO another user put at the final
// name. Until then, and after every failure, the previous file under the final name stays as it was.
class PdfPlacement
{
public:
    // Makes the file beside the final name and the formatter's file; without a final name only the
    // formatter's file (a document that is split into files of its own). Throws LaError naming the final
    // name (a missing or read-only folder, a bad OutputFileMode) or the temporary folder.
    explicit PdfPlacement(const QString& finalName);
    // Removes the formatter's file, and the file beside the final name unless place() put it there.
    ~PdfPlacement();
    PdfPlacement(const PdfPlacement&) = delete;
    PdfPlacement& operator=(const PdfPlacement&) = delete;

    // Where the formatter is to write the PDF.
    const QString& renderedFile() const { return m_renderedFile; }
    const QString& finalName() const { return m_finalName; }

    // Puts the rendered PDF under the final name; encrypted when `withPassword`. Throws LaError naming
    // the final name; the previous file under it is then unchanged.
    void place(bool withPassword, const QString& password);

private:
    QString m_finalName;
    std::unique_ptr<AtomicOutputFile> m_output;
    QString m_renderedFile;
    std::unique_ptr<TempFileInUse> m_inUse;
};
