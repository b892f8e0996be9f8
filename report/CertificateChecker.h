#pragma once

#include "db/ExportRow.h"
#include "report/Amount.h"
#include "report/CheckFinding.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QStringList>
#include <array>
#include <optional>
#include <string_view>

class PersonTable;

// The fields of one export row, in the order of Field::All.
using CheckRow = std::array<Variant, Field::All.size()>;

// The position of a field in Field::All (and so in a CheckRow).
constexpr std::size_t fieldIndex(QLatin1String field)
{
    for (std::size_t i = 0; i < Field::All.size(); ++i) {
        if (std::string_view(Field::All[i].data(), Field::All[i].size()) ==
            std::string_view(field.data(), field.size()))
            return i;
    }
    return Field::All.size();
}

// A field's position, found when the program is compiled: the rules read some sixty fields a row.
struct FieldAt
{
    consteval FieldAt(QLatin1String field)
        : index(fieldIndex(field))
        , name(field)
    {
    }
    std::size_t index;
    QLatin1String name;
};

// The plausibility rules over the rows of LGHLAEXP, fed one row after another in the outputs' order
// (company, employee). What it keeps between rows belongs to the current company only, so the memory
// it needs is that of one company's AHV numbers plus the findings.
class CertificateChecker
{
public:
    // Without a person table the lookup in LGHPS is left out.
    explicit CertificateChecker(const PersonTable* persons = nullptr);

    void check(const CheckRow& row);

    qint64 rowCount() const { return m_rowCount; }
    const QList<CheckFinding>& findings() const { return m_findings; }
    qsizetype count(CheckSeverity severity) const;

private:
    const Variant& value(FieldAt field) const { return (*m_row)[field.index]; }
    void add(CheckRule rule, const QString& text, bool forCompany = false);

    void checkDocumentHead(bool companyStart);
    void checkRequiredTexts();
    void checkCertificateKind();
    void checkAhvNumber();
    void checkPeriod();
    std::optional<QDate> dateOf(int which, const Variant& value);
    void checkAmounts();
    void checkAddressLines();
    void checkPerson();
    void checkCharacters(bool companyStart);

    const PersonTable* m_persons;
    const CheckRow* m_row = nullptr;
    qint64 m_rowCount = 0;
    qint64 m_rowInCompany = 0;
    QString m_lastCompany;
    std::array<QString, 3> m_lastPersonKey; // new and old AHV number, name
    bool m_hasPerson = false;
    QHash<std::pair<QString, QString>, QString> m_ahvSeen; // AHV number and year in this company: employee
    struct DateMemo
    {
        bool valid = false;
        QString text;
        std::optional<QDate> date;
    };
    DateMemo m_dateMemo[2]; // the period's dates of the last row
    QString m_company;
    QString m_employee;
    QString m_ahv;
    QList<CheckFinding> m_findings;
};
