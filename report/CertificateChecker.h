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
// (company, employee). Each rule is one entry of a table in the .cpp. Besides the findings it keeps
// the current company's AHV numbers and one name per AHV number of the whole run.
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
    struct Rules; // the rule table and the rules, in the .cpp
    friend struct Rules;

    const Variant& value(FieldAt field) const { return (*m_row)[field.index]; }
    const std::optional<Amount>& amount(FieldAt field) const { return m_amounts[field.index]; }
    void add(CheckRule rule, const QString& text, bool forCompany = false);
    std::optional<QDate> dateOf(int which, const Variant& value);

    const PersonTable* m_persons;
    const CheckRow* m_row = nullptr;
    qint64 m_rowCount = 0;
    qint64 m_rowInCompany = 0;

    // What the rules share about the current row.
    bool m_companyStart = false;
    bool m_documentStart = false;                                   // the PDF run reads the company part from this row
    bool m_personStart = false;                                     // the import file writes a person line for this row
    std::array<std::optional<Amount>, Field::All.size()> m_amounts; // amount fields only; none for Null
    std::optional<QDate> m_period[2];                               // from, until: none when no date
    QString m_company;
    QString m_employee;
    QString m_ahv;
    enum class Lookup
    {
        None, // no person line here, or no person table
        NotFound,
        CantonNull,
        Found,
    };
    Lookup m_lookup = Lookup::None;

    QString m_lastCompany;
    std::array<QString, 3> m_lastPersonKey;                // new and old AHV number, name
    std::optional<QDate> m_placeDate;                      // the date in place and date of the current document
    bool m_placeDateReported = false;                      // for the current company
    QHash<std::pair<QString, QString>, QString> m_ahvSeen; // AHV number and year in this company: employee
    QHash<QString, QString> m_ahvNames;                    // AHV number: the first name it came with
    struct DateMemo
    {
        bool valid = false;
        QString text;
        std::optional<QDate> date;
    };
    DateMemo m_dateMemo[2]; // the period's dates of the last row
    QList<CheckFinding> m_findings;
};
