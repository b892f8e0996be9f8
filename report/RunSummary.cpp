#include "report/RunSummary.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace {

QString counted(qint64 n, const char* one, const char* many)
{
    return QString::number(n) + u' ' + QString::fromUtf8(n == 1 ? one : many);
}

QString certificatesText(qint64 n)
{
    return counted(n, "Lohnausweis", "Lohnausweise");
}

QString companiesText(const QStringList& companies)
{
    return companies.size() == 1 ? companies.front() : counted(companies.size(), "Firma", "Firmen");
}

QString folderOf(const QString& path)
{
    return QFileInfo(path).absolutePath() + u'/';
}

} // namespace

RunSummary::RunSummary()
{
    m_clock.start();
}

void RunSummary::start()
{
    m_files.clear();
    m_durationMs = -1;
    m_cancelled = false;
    m_checkErrors = -1;
    m_checkNotices = 0;
    m_protection.clear();
    m_clock.restart();
}

void RunSummary::addFile(const QString& path, qint64 certificates, const QStringList& companies, const QString& kind)
{
    m_files.append({QFileInfo(path).absoluteFilePath(), certificates, companies, kind});
}

void RunSummary::setCheckCounts(qsizetype errors, qsizetype notices)
{
    m_checkErrors = errors;
    m_checkNotices = notices;
}

void RunSummary::finish()
{
    if (m_durationMs < 0)
        m_durationMs = m_clock.elapsed();
}

QStringList RunSummary::lines(bool everyFile) const
{
    QStringList result;
    if (m_files.isEmpty())
        return result;
    qint64 certificates = 0;
    QSet<QString> companies;
    // Files per employee by folder, in the order the folders were first written into.
    QList<File> folders;
    for (const File& f : m_files) {
        if (m_protection.isEmpty() || everyFile) {
            result.append(f.path + u'\t' + certificatesText(f.certificates) + u'\t' + companiesText(f.companies));
        } else {
            const QString folder = folderOf(f.path);
            auto it = std::find_if(folders.begin(), folders.end(), [&](const File& d) { return d.path == folder; });
            if (it == folders.end())
                it = folders.insert(folders.end(), {folder, 0, {}, f.kind});
            it->certificates += f.certificates;
            for (const QString& c : f.companies)
                if (!it->companies.contains(c))
                    it->companies.append(c);
        }
        certificates += f.certificates;
        for (const QString& c : f.companies)
            companies.insert(c);
    }
    for (const File& d : std::as_const(folders))
        result.append(d.path + u'\t' + certificatesText(d.certificates) + u'\t' + companiesText(d.companies));
    if (!m_protection.isEmpty())
        result.append(QStringLiteral("Schutz\t") + m_protection);
    const qint64 ms = m_durationMs >= 0 ? m_durationMs : m_clock.elapsed();
    result.append(QStringLiteral("Total\t") + counted(m_files.size(), "Datei", "Dateien") + u'\t' +
                  certificatesText(certificates) + u'\t' + counted(companies.size(), "Firma", "Firmen") + u'\t' +
                  QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s") + checkText(u'\t'));
    return result;
}

QString RunSummary::checkText(QChar before) const
{
    if (m_checkErrors < 0)
        return {};
    return (before.isNull() ? QString() : QString(before)) + QString::number(m_checkErrors) +
           QStringLiteral(" Fehler, ") + counted(m_checkNotices, "Hinweis", "Hinweise");
}

QString RunSummary::statusText() const
{
    const QString start = m_cancelled ? QStringLiteral("Abgebrochen: ") : QStringLiteral("Fertig: ");
    if (m_files.isEmpty())
        return m_cancelled ? start + QStringLiteral("keine Datei geschrieben") : QString();
    qint64 certificates = 0;
    for (const File& f : m_files)
        certificates += f.certificates;
    const QString& kind = m_files.front().kind;
    QStringList notes;
    if (!m_protection.isEmpty())
        notes << QStringLiteral("pro Mitarbeiter, ") + m_protection;
    if (m_checkErrors >= 0)
        notes << checkText();
    QString text = start + certificatesText(certificates) + QStringLiteral(" in ") + QString::number(m_files.size()) +
                   u' ' + kind + (m_files.size() == 1 ? QString() : QStringLiteral("en")) +
                   (notes.isEmpty() ? QString() : QStringLiteral(" (") + notes.join(QStringLiteral("; ")) + u')') +
                   QStringLiteral(", ");
    if (!m_protection.isEmpty()) {
        // The folders, not thousands of names.
        text += folderOf(m_files.front().path);
        if (const QString last = folderOf(m_files.back().path); last != folderOf(m_files.front().path))
            text += QStringLiteral(" … ") + QFileInfo(last.chopped(1)).fileName() + u'/';
        return text;
    }
    text += m_files.front().path;
    if (m_files.size() > 1)
        text += QStringLiteral(" … ") + QFileInfo(m_files.back().path).fileName();
    return text;
}
