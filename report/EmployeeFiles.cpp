#include "report/EmployeeFiles.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "platform/AtomicOutputFile.h"
#include "platform/Functions.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"
#include "platform/RunCancel.h"
#include "platform/clsFSConnect.h"
#include "report/CertificateSplitter.h"
#include "report/PdfRun.h"
#include "report/RunSummary.h"

#include <QFileInfo>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

QString trimmedText(const Variant& value)
{
    try {
        return textOrEmpty(value).trimmed();
    } catch (const LaError&) {
        return {}; // a number without a text (infinity) names nothing
    }
}

void failureBox(const QString& file, const QString& reason)
{
    prompt().messageBox(QStringLiteral("PDF-Datei konnte nicht erstellt werden.") + kCrLf + QStringLiteral("Datei: ") +
                            file + kCrLf + QStringLiteral("Grund: ") + reason + kCrLf + QStringLiteral("Protokoll: ") +
                            (gLog ? gLog->fileName() : QString()),
                        MsgStyle::Critical,
                        QStringLiteral("Fehler"));
}

QString folderOf(const QString& relativePath)
{
    const qsizetype slash = relativePath.lastIndexOf(u'/');
    return slash < 0 ? QString() : relativePath.left(slash);
}

} // namespace

EmployeeFiles::EmployeeFiles(const QString& outputFile,
                             const QString& pattern,
                             EmployeePasswordKind kind,
                             QString fixedPassword)
    : m_folders(QFileInfo(outputFile).absolutePath())
    , m_names(pattern)
    , m_kind(kind)
    , m_fixedPassword(std::move(fixedPassword))
{
}

EmployeeCertificate EmployeeFiles::next(const DbRecordSet& row)
{
    EmployeeFileFields fields;
    fields.company = trimmedText(row.value(Field::EFLDI2));
    fields.name = trimmedText(row.value(Field::EFLDH1));
    // As the certificate prints it: the new number, the old one where the new is missing.
    fields.number = trimmedText(row.value(Field::EFLDC2));
    if (fields.number.isEmpty())
        fields.number = trimmedText(row.value(Field::EFLDC1));
    fields.year = trimmedText(row.value(Field::EFLDD));
    fields.run = ++m_count;

    EmployeeCertificate certificate;
    certificate.company = fields.company;
    certificate.employee = u'\'' + fields.name + u'\'' +
                           (fields.number.isEmpty() ? QString() : QStringLiteral(" (") + fields.number + u')');
    certificate.outlineTitle = fields.name + QStringLiteral(", ") + fields.number;
    certificate.relativePath = m_names.next(fields);
    certificate.file = m_folders.shownName(certificate.relativePath);
    certificate.password = employeePassword(
        m_kind, row.value(Field::EGEBDT), row.value(Field::EFLDC2), m_fixedPassword, certificate.employee);
    return certificate;
}

QString EmployeeFiles::documentName(const QList<EmployeeCertificate>& certificates) const
{
    const QString folder = certificates.isEmpty() ? QString() : folderOf(certificates.front().relativePath);
    return folder.isEmpty() ? m_folders.base() + u'/' : m_folders.shownName(folder) + u'/';
}

void EmployeeFiles::write(const PdfDocument& document,
                          const QString& renderedFile,
                          RunSummary& summary,
                          MainWindowView& window)
{
    QStringList titles;
    for (const EmployeeCertificate& c : document.employees)
        titles << c.outlineTitle;
    CertificateSplitter splitter(renderedFile, titles, document.pdfFile);

    for (qsizetype i = 0; i < document.employees.size(); ++i) {
        if (RunCancel* cancel = window.runCancel())
            cancel->throwIfRequested();
        const EmployeeCertificate& c = document.employees[i];
        const QString& shown = c.file;
        if (!c.password.refusal.isEmpty()) {
            failureBox(shown, c.password.refusal);
            continue;
        }
        const QString folder = folderOf(c.relativePath);
        if (m_folderFailures.contains(folder))
            continue;
        QString target;
        try {
            target = m_folders.fileInside(c.relativePath);
        } catch (...) {
            const QString why = toLaError(std::current_exception()).description();
            m_folderFailures.insert(folder, why);
            failureBox(shown,
                       why + kCrLf +
                           QStringLiteral("Auch die weiteren Dateien dieses Ordners werden nicht geschrieben."));
            continue;
        }
        try {
            AtomicOutputFile output(target, AtomicOutputFile::Naming::Nameless, shown);
            output.write(splitter.certificate(i, c.password.password));
            output.commit();
        } catch (...) {
            failureBox(shown, toLaError(std::current_exception()).description());
            continue;
        }
        summary.addFile(shown, 1, {c.company}, QStringLiteral("PDF-Datei"));
        // Thousands of files are not opened one by one: their folder is.
        if (window.chkOpenPDF() && !m_shownFolders.contains(folder)) {
            m_shownFolders.insert(folder);
            OpenFile(QFileInfo(shown).absolutePath());
        }
    }
}
