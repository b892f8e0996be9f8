#include "report/CheckReport.h"

#include "platform/AtomicOutputFile.h"
#include "platform/ControlCharacters.h"
#include "platform/LaError.h"

QString checkTotals(qint64 certificates, qsizetype errors, qsizetype notices)
{
    return QStringLiteral("%1 %2 geprüft: %3 Fehler, %4 %5")
        .arg(certificates)
        .arg(certificates == 1 ? QStringLiteral("Lohnausweis") : QStringLiteral("Lohnausweise"))
        .arg(errors)
        .arg(notices)
        .arg(notices == 1 ? QStringLiteral("Hinweis") : QStringLiteral("Hinweise"));
}

QStringList checkReportColumns()
{
    return {QStringLiteral("Schweregrad"),
            QStringLiteral("Firma"),
            QStringLiteral("Mitarbeiter"),
            QStringLiteral("Neue AHV-Nr."),
            QStringLiteral("Regel"),
            QStringLiteral("Text")};
}

QStringList checkReportValues(const CheckFinding& finding)
{
    // Names and texts come from the host and go to a terminal or a text file.
    return {severityText(finding.severity()),
            blankControlCharacters(finding.company),
            blankControlCharacters(finding.employee),
            blankControlCharacters(finding.ahvNumber),
            finding.ruleName(),
            blankControlCharacters(finding.text)};
}

QString checkReportTable(const QList<CheckFinding>& findings)
{
    if (findings.isEmpty())
        return {};
    QList<QStringList> lines{checkReportColumns()};
    for (const CheckFinding& f : findings)
        lines.append(checkReportValues(f));
    QList<qsizetype> widths(lines.first().size(), 0);
    for (const QStringList& line : lines) {
        for (qsizetype c = 0; c < line.size(); ++c)
            widths[c] = std::max(widths[c], line[c].size());
    }
    QString table;
    for (const QStringList& line : lines) {
        for (qsizetype c = 0; c + 1 < line.size(); ++c)
            table += line[c].leftJustified(widths[c]) + QStringLiteral("  ");
        table += line.last() + u'\n';
    }
    return table;
}

QByteArray checkReportCsv(const QList<CheckFinding>& findings)
{
    const auto csvLine = [](const QStringList& values) {
        QStringList cells;
        for (QString v : values) {
            // A spreadsheet would run a cell that begins like a formula; names and texts come from the
            // host, so such a cell is kept as text.
            if (!v.isEmpty() && QStringView(u"=+-@\t\r").contains(v.front()))
                v.prepend(u'\'');
            if (v.contains(u';') || v.contains(u'"') || v.contains(u'\n') || v.contains(u'\r'))
                cells.append(u'"' + QString(v).replace(u'"', QStringLiteral("\"\"")) + u'"');
            else
                cells.append(v);
        }
        return cells.join(u';') + QStringLiteral("\r\n");
    };
    QString text = csvLine(checkReportColumns());
    for (const CheckFinding& f : findings)
        text += csvLine(checkReportValues(f));
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

namespace {

// The file is replaced only when it was written whole, and never through a link someone put at its
// name: the report holds names and numbers from the host.
void writeWhole(const QString& fileName, const QByteArray& content)
{
    AtomicOutputFile file(fileName);
    file.write(content);
    file.commit();
}

} // namespace

void writeCheckCsv(const QString& fileName, const QList<CheckFinding>& findings)
{
    try {
        writeWhole(fileName, checkReportCsv(findings));
    } catch (...) {
        raiseError(QStringLiteral("CheckReport.writeCheckCsv"));
    }
}

void writeCheckReport(const QString& fileName, const QList<CheckFinding>& findings, const QString& totals)
{
    try {
        writeWhole(fileName,
                   fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)
                       ? checkReportCsv(findings)
                       : (checkReportTable(findings) + totals + u'\n').toUtf8());
    } catch (...) {
        raiseError(QStringLiteral("CheckReport.writeCheckReport"));
    }
}
