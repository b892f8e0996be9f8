#include "report/RunSummary.h"

#include <QFileInfo>
#include <QSet>

namespace {

QString counted(qint64 n, const char* one, const char* many)
{
    return QString::number(n) + u' ' + QString::fromUtf8(n == 1 ? one : many);
}

QString certificatesText(qint64 n)
{
    return counted(n, "Lohnausweis", "Lohnausweise");
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

QStringList RunSummary::lines() const
{
    QStringList result;
    if (m_files.isEmpty())
        return result;
    qint64 certificates = 0;
    QSet<QString> companies;
    for (const File& f : m_files) {
        result.append(f.path + u'\t' + certificatesText(f.certificates) + u'\t' +
                      (f.companies.size() == 1 ? f.companies.front() : counted(f.companies.size(), "Firma", "Firmen")));
        certificates += f.certificates;
        for (const QString& c : f.companies)
            companies.insert(c);
    }
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
    QString text = start + certificatesText(certificates) + QStringLiteral(" in ") + QString::number(m_files.size()) +
                   u' ' + kind + (m_files.size() == 1 ? QString() : QStringLiteral("en")) +
                   (m_checkErrors < 0 ? QString() : QStringLiteral(" (") + checkText() + u')') + QStringLiteral(", ") +
                   m_files.front().path;
    if (m_files.size() > 1)
        text += QStringLiteral(" … ") + QFileInfo(m_files.back().path).fileName();
    return text;
}
