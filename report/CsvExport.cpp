#include "report/CsvExport.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "db/ConnectionString.h"
#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/AppIdentity.h"
#include "platform/AtomicOutputFile.h"
#include "platform/LaError.h"
#include "platform/RunCancel.h"
#include "platform/clsFSConnect.h"
#include "report/CheckBeforeRun.h"
#include "report/CsvText.h"
#include "report/OverwriteQuestion.h"
#include "report/RunSelection.h"
#include "report/RunSummary.h"

#include <QHash>
#include <QScopeGuard>
#include <QStringList>

using CsvText::cleanValue;

namespace {

// The file is written under a name of its descriptor (/proc/self/fd/N) or a hidden one; a message
// about it must name the file the clerk asked for.
LaError namingTarget(const LaError& error, const QString& writeName, const QString& target)
{
    return LaError(error.number(),
                   error.source(),
                   QString(error.description()).replace(writeName, target),
                   error.helpFile(),
                   error.helpContext());
}

} // namespace

// The fields of the current export row. Column positions are resolved once per run, since the
// export reads some fifty fields of every row.
class CsvExport::Fields
{
public:
    explicit Fields(std::shared_ptr<DbRecordSet> rows)
        : m_rows(std::move(rows))
    {
        QHash<QString, int> byName;
        for (int i = 0; i < m_rows->fieldCount(); ++i)
            byName.insert(m_rows->fieldName(i).toUpper(), i);
        for (const QLatin1String field : Field::All) {
            if (const auto it = byName.constFind(QString(field)); it != byName.constEnd())
                m_index.insert(field.data(), it.value());
        }
    }

    // A field missing from the table is read by name, so that the reading fails with the
    // record set's own error.
    Variant value(QLatin1String field) const
    {
        const auto it = m_index.constFind(field.data());
        return it != m_index.constEnd() ? m_rows->value(it.value()) : m_rows->value(QString(field));
    }

private:
    std::shared_ptr<DbRecordSet> m_rows;
    QHash<const char*, int> m_index; // keyed by the Field:: constants' own texts
};

CsvExport::CsvExport() = default;

CsvExport::~CsvExport()
{
    release();
}

void CsvExport::run(RunSummary& summary)
{
    m_rowNumber = 0;
    m_statementCount = 0;
    m_companies.clear();
    const auto releaseAtEnd = qScopeGuard([this] { release(); });
    write(summary);
}

void CsvExport::release() noexcept
{
    if (m_export && m_export->getConnection())
        m_statementCount = m_export->getConnection()->statementCount();
    m_persons.reset();
    m_companyNumbers.reset();
    m_file.reset();
    // Without a commit the new content goes with it; the previous file stays.
    m_output.reset();
    m_row.reset();
    m_export.reset();
}

void CsvExport::write(RunSummary& summary)
{
    gFrmMain->setStatusText(QStringLiteral("Verbindung zum LOVAR/400 Rariz aufbauen"));
    QString lastCompany;
    // Social insurance numbers and name, kept apart: joined into one text, "1,2" + "3" and
    // "1" + "2,3" would be one person.
    QStringList lastPersonKey;

    const qint16 transferType = getMediumIndex();
    if (transferType != 0 && transferType != 1)
        throw LaError::runtime(ErrNo::ObjectNotSet,
                               QStringLiteral("Keine Übertragungsart gewählt: bitte ODBC oder OLE DB wählen."));
    // The only connection string of the run: with ODBC the login is asked here once, and the
    // lookups below run on this reader's connection.
    m_export = std::make_unique<clsADOConnect>();
    const QString source = getADOProvider(transferType, gFrmMain->txtSrcFile());
    // Login closed without OK, or its own box shown: no connection is tried.
    if (source.isEmpty())
        return;
    m_export->setSource(source);
    m_export->setTimeout(dbTimeoutSeconds());
    m_export->setLibl(gFrmMain->txtLib());
    const RunSelection selection = gFrmMain->runSelection();
    if (!m_export->init(QString(kExportTableName),
                        {},
                        selection.condition(),
                        QStringLiteral("EFLDI2, EFLDH1, EFLDC2"),
                        selection.parameters()))
        return;

    // Before any file is asked about or touched.
    if (m_export->isEOF())
        throw LaError(ErrNo::NoCertificateData, appTitle(), selection.noCertificateDataText());
    if (!checkBeforeRun(m_export->getConnection(), gFrmMain->txtLib(), selection, true, summary))
        return;
    const QString target = gFrmMain->txtToFile();
    if (!mayWriteOutputFile(target))
        return;
    m_output = std::make_unique<AtomicOutputFile>(target);
    RunCancel* cancel = gFrmMain->runCancel();
    // A nameless file goes with the process; one with a temporary name must be removed.
    const bool named = !m_output->writeName().startsWith(QLatin1String("/proc/"));
    const ScopedCleanupFile listed(forcedExitCleanupOf(cancel), named ? m_output->writeName() : QString());
    m_file = std::make_unique<clsFSConnect>();
    m_file->init(m_output->writeName(), 0);

    m_row = std::make_unique<Fields>(m_export->getRecordset());
    while (!m_export->isEOF()) {
        if (cancel)
            cancel->checkpoint();
        ++m_rowNumber;
        if (!m_companyNumbers && !loadCompanyNumbers())
            return;
        gFrmMain->setStatusText(QStringLiteral("Datensatz lesen: ") + QString::number(m_rowNumber));

        const QString company = textOrEmpty(m_row->value(Field::EFLDI2));
        if (company != lastCompany) {
            // The number goes into no column; looking it up stops the run on a company number
            // the payroll data holds in a broken form.
            qint16 companyNumber = 0;
            m_companyNumbers->lookUp(company, companyNumber);
            writeCompanyLine();
            lastCompany = company;
            m_companies.append(company);
            lastPersonKey.clear();
        }

        const QStringList personKey{textOrEmpty(m_row->value(Field::EFLDC2)),
                                    textOrEmpty(m_row->value(Field::EFLDC1)),
                                    requiredText(Field::EFLDH1)};
        if (personKey != lastPersonKey) {
            if (!writePersonLine())
                return;
            lastPersonKey = personKey;
        }

        writeCertificateLine();
        m_export->MoveNext();
    }

    m_file.reset();
    // A cancel that came with the last rows still keeps the previous file.
    if (cancel)
        cancel->throwIfRequested();
    m_output->commit();
    summary.addFile(target, m_rowNumber, m_companies, QStringLiteral("CSV-Datei"));
}

void CsvExport::writeLine(const QString& line)
{
    // Every line but the first is preceded by CR LF; the last has none after it. Separator and line
    // go out in one write, since the file is written unbuffered.
    if (m_file->getValue().isEmpty())
        m_file->setValue(line);
    else
        m_file->setValue(QStringLiteral("\r\n") + line);
    try {
        m_file->update();
    } catch (const LaError& e) {
        throw namingTarget(e, m_output->writeName(), gFrmMain->txtToFile());
    }
}

bool CsvExport::loadCompanyNumbers()
{
    clsADOConnect reader;
    reader.setLibl(gFrmMain->txtLib());
    reader.setConnection(m_export->getConnection());
    if (!reader.init(QStringLiteral("LGHLAZ")))
        return false;
    // The year of the first export row stands for the run.
    m_companyNumbers.emplace();
    m_companyNumbers->load(*reader.getRecordset(), m_row->value(Field::EFLDD));
    return true;
}

bool CsvExport::loadPersons()
{
    clsADOConnect reader;
    reader.setLibl(gFrmMain->txtLib());
    reader.setConnection(m_export->getConnection());
    if (!reader.init(QStringLiteral("LGHPS"), PersonTable::selectList()))
        return false;
    m_persons.emplace();
    m_persons->load(*reader.getRecordset());
    return true;
}

QString CsvExport::employee() const
{
    const Variant name = m_row->value(Field::EFLDH1);
    if (name.isNull())
        return QStringLiteral("Datensatz %1").arg(m_rowNumber);
    return u'\'' + name.toText() + u'\'';
}

void CsvExport::fieldError(int number, QLatin1String field, const QString& problem) const
{
    throw LaError::runtime(number, QStringLiteral("Feld %1 von %2: %3.").arg(QString(field), employee(), problem));
}

QString CsvExport::requiredText(QLatin1String field) const
{
    const Variant value = m_row->value(field);
    if (value.isNull())
        fieldError(ErrNo::InvalidUseOfNull, field, QStringLiteral("kein Wert (Null)"));
    return value.toText();
}

QString CsvExport::column(QLatin1String field) const
{
    try {
        return cleanValue(textOrEmpty(m_row->value(field)));
    } catch (const LaError& e) {
        // An amount of infinity has no text; which row holds it is what the office needs to know.
        fieldError(e.number(), field, e.description());
    }
}

QString CsvExport::lowerColumn(QLatin1String field) const
{
    return column(field).toLower();
}

QString CsvExport::dateColumn(QLatin1String field) const
{
    const Variant value = m_row->value(field);
    if (value.isNull())
        fieldError(ErrNo::InvalidUseOfNull, field, QStringLiteral("kein gültiges Datum (Null)"));
    try {
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    } catch (const LaError&) {
        fieldError(ErrNo::TypeMismatch, field, QStringLiteral("kein gültiges Datum ('%1')").arg(value.toText()));
    }
}

void CsvExport::writeCompanyLine()
{
    const QString place = textOrEmpty(m_row->value(Field::EFLDI4));
    const CsvText::FirstWordSplit contact = CsvText::splitFirstWord(requiredText(Field::EFLDI5));
    QString line = QStringLiteral("1;");
    line += column(Field::EFLDI2) + u';';
    line += column(Field::EFLDI3) + QStringLiteral(";;");
    // Postcode and town share one field, "8000 Zürich": the fifth character is the separator.
    line += cleanValue(place.left(4)) + u';';
    line += cleanValue(place.mid(5)) + QStringLiteral(";;;");
    line += cleanValue(contact.word) + u';';
    line += cleanValue(contact.rest) + u';';
    line += column(Field::EFLDI6);
    writeLine(line);
}

bool CsvExport::writePersonLine()
{
    const QString name = requiredText(Field::EFLDH1);
    const QString street = requiredText(Field::EFLDH3);
    QString town = requiredText(Field::EFLDH6);
    if (!m_persons && !loadPersons())
        return false;
    QString sex = QStringLiteral("M");
    if (const PersonTable::Person* person = m_persons->find(name, street, town)) {
        if (person->canton.isNull())
            fieldError(ErrNo::InvalidUseOfNull, QLatin1String("PKTON"), QStringLiteral("kein Wert (Null)"));
        // A CHAR column holds an empty canton as blanks; "Zürich (  )" would name no canton.
        const QString canton = CsvText::trimBlanks(person->canton.toText());
        if (!canton.isEmpty())
            town += QStringLiteral(" (") + canton + u')';
        bool female = false;
        try {
            female = !person->sexCode.isNull() && person->sexCode.toDouble() == 2.0;
        } catch (const LaError&) {
            female = false; // a sex code that is no number is not the code for female
        }
        if (female)
            sex = QStringLiteral("F");
    }

    const CsvText::FirstWordSplit split = CsvText::splitFirstWord(name);
    QString line = QStringLiteral("2;;");
    line += column(Field::EFLDC2) + u';';
    line += column(Field::EGEBDT) + u';';
    line += sex + u';';
    line += cleanValue(split.word) + u';';
    line += cleanValue(split.rest) + u';';
    line += CsvText::addressText(cleanValue(textOrEmpty(m_row->value(Field::EFLDH2))),
                                 cleanValue(street),
                                 cleanValue(textOrEmpty(m_row->value(Field::EFLDH4)))) +
            QStringLiteral(";;");
    line += column(Field::EFLDH5) + u';';
    line += cleanValue(town) + u';';
    writeLine(line);
    return true;
}

void CsvExport::writeCertificateLine()
{
    QString line;
    line.reserve(512);
    line += QStringLiteral("3;");
    if (isFlagSet(m_row->value(Field::EFLDA)))
        line += QStringLiteral("SR");
    else if (isFlagSet(m_row->value(Field::EFLDB)))
        line += QStringLiteral("AR");
    // A row with neither flag keeps its empty column, so that the later columns stay in place.
    line += u';';
    line += column(Field::EFLDD) + u';';
    line += dateColumn(Field::EFLDE1) + u';';
    line += dateColumn(Field::EFLDE2) + u';';
    line += lowerColumn(Field::EFLDF) + u';';
    line += lowerColumn(Field::EFLDG) + u';';
    for (const QLatin1String field : {Field::EB0100,
                                      Field::EB0210,
                                      Field::EB0220,
                                      Field::ET0230,
                                      Field::EB0230,
                                      Field::ET0300,
                                      Field::EB0300,
                                      Field::ET0400,
                                      Field::EB0400,
                                      Field::EB0500,
                                      Field::EB0600,
                                      Field::ET0700,
                                      Field::EB0700,
                                      Field::EB0900,
                                      Field::EB1010,
                                      Field::EB1020,
                                      Field::EB1200}) {
        line += column(field);
        line += u';';
    }
    line += lowerColumn(Field::ET1311) + u';';
    for (const QLatin1String field : {Field::EB1311,
                                      Field::ET1312,
                                      Field::EB1312,
                                      Field::EB1321,
                                      Field::EB1322,
                                      Field::ET1323,
                                      Field::EB1323,
                                      Field::EB1330}) {
        line += column(field);
        line += u';';
    }
    line += column(Field::ET1410) + u' ' + column(Field::ET1420) + u';';
    line += column(Field::ET1510) + u' ' + column(Field::ET1520) + u';';
    writeLine(line);
}
