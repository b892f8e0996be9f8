#pragma once

#include "report/CompanyNumberTable.h"
#include "report/PersonTable.h"

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class AtomicOutputFile;
class RunSummary;
class clsADOConnect;
class clsFSConnect;

// One run of the eLohnausweis SSK import file: a company line per company, a person line per
// person of that company and a certificate line per row of LGHLAEXP, read in the order
// company, employee, social insurance number. Settings come from gFrmMain.
class CsvExport
{
public:
    CsvExport();
    ~CsvExport();
    CsvExport(const CsvExport&) = delete;
    CsvExport& operator=(const CsvExport&) = delete;

    // Writes the file: under no name beside the target, which it replaces only when every row has been
    // written (the summary then gets it). On any failure the previous file stays as it was. An existing
    // target is asked about first; Cancel ends the run. A reader that cannot open its query shows its
    // own box and the run ends without an error; every other failure throws LaError.
    void run(RunSummary& summary);

    // Figures of the last run: export rows read and statements sent on the run's connection.
    qint64 rowCount() const { return m_rowNumber; }
    qint64 statementCount() const { return m_statementCount; }

private:
    class Fields;

    void write(RunSummary& summary);
    void release() noexcept;
    void writeLine(const QString& line);
    bool loadCompanyNumbers();
    bool loadPersons();
    void writeCompanyLine();
    bool writePersonLine();
    void writeCertificateLine();

    // Errors about a field name the field and the employee, so that the office can mend the row.
    QString employee() const;
    [[noreturn]] void fieldError(int number, QLatin1String field, const QString& problem) const;
    QString requiredText(QLatin1String field) const;
    QString column(QLatin1String field) const;
    QString lowerColumn(QLatin1String field) const;
    QString dateColumn(QLatin1String field) const;

    std::unique_ptr<clsADOConnect> m_export;
    std::unique_ptr<Fields> m_row;
    std::unique_ptr<AtomicOutputFile> m_output;
    std::unique_ptr<clsFSConnect> m_file;
    QStringList m_companies;
    std::optional<CompanyNumberTable> m_companyNumbers;
    std::optional<PersonTable> m_persons;
    qint64 m_rowNumber = 0;
    qint64 m_statementCount = 0;
};
