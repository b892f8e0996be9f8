#pragma once

#include "platform/OutputFolders.h"
#include "report/EmployeeFileNames.h"
#include "report/EmployeePassword.h"
#include "report/PdfRun.h"

#include <QHash>
#include <QSet>
#include <QString>

class DbRecordSet;
class MainWindowView;
class RunSummary;

// The files of a run that writes one PDF per employee ("Eine Datei pro Mitarbeiter"). The documents
// are rendered per company as in any run; each rendered document is then split into its certificates
// (CertificateSplitter), and every certificate's PDF is written below the folder of the output name
// under the name the pattern EmployeeFileName gives it, the way every output is written
// (AtomicOutputFile, OutputFolders), protected by the password of its kind.
class EmployeeFiles
{
public:
    // Opens the folder of `outputFile`. Throws LaError naming the folder when it is missing, or the
    // setting when `pattern` is no pattern.
    EmployeeFiles(const QString& outputFile, const QString& pattern, EmployeePasswordKind kind, QString fixedPassword);

    // The certificate of the row `row` is at, the run's next (names and passwords are given in row order).
    EmployeeCertificate next(const DbRecordSet& row);

    // What a document of these certificates is called in the log and in its failure box: their folder.
    QString documentName(const QList<EmployeeCertificate>& certificates) const;

    // Writes the files of the rendered document `renderedFile`: the complete ones go into `summary`
    // (and their folder to the viewer when the window says so), every other gets a box naming file and
    // reason; a folder that cannot be made gets one box for all its files. Throws LaError 5 when the
    // document cannot be split (no file is then written), the cancel error between two files.
    void write(const PdfDocument& document, const QString& renderedFile, RunSummary& summary, MainWindowView& window);

    EmployeePasswordKind passwordKind() const { return m_kind; }

private:
    OutputFolders m_folders;
    EmployeeFileNames m_names;
    EmployeePasswordKind m_kind;
    QString m_fixedPassword;
    qint64 m_count = 0;
    QHash<QString, QString> m_folderFailures; // folder -> why it cannot be written into
    QSet<QString> m_shownFolders;
};
