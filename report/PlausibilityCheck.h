#pragma once

#include "report/CertificateChecker.h"

#include <QString>
#include <functional>
#include <memory>

class DbConnection;
class PersonTable;
class RunSelection;

// The check run: reads the rows of LGHLAEXP, and the person table LGHPS for the import file's
// lookups, through the record reader on one connection, and puts every row through the rules.
// It only reads; no output is written.
class PlausibilityCheck
{
public:
    using Progress = std::function<void(qint64)>;

    PlausibilityCheck();
    ~PlausibilityCheck();
    PlausibilityCheck(const PlausibilityCheck&) = delete;
    PlausibilityCheck& operator=(const PlausibilityCheck&) = delete;

    // `transferType` and `source` as for getADOProvider (with ODBC the login is asked once).
    // False when the export table could not be opened: the reader has shown its box then; also when
    // the login was closed without OK, without a box. A person table that cannot be read shows its
    // box too; the check goes on without that lookup. Other failures throw LaError with
    // "PlausibilityCheck.run" in the source chain. `progress` gets the number of the row being read,
    // now and then. Only the rows of `selection` are checked. A cancel request of
    // gFrmMain ends the check at the next row with the cancel error.
    bool run(qint16 transferType,
             const QString& source,
             const QString& library,
             const RunSelection& selection,
             const Progress& progress = {});

    // The same on a connection a run has open, with no login of its own. `withPersons`: LGHPS is
    // read as well (the import file looks persons up there, the PDF run does not).
    bool runOn(std::shared_ptr<DbConnection> connection,
               const QString& library,
               const RunSelection& selection,
               bool withPersons,
               const Progress& progress = {});

    const CertificateChecker& result() const { return *m_checker; }
    bool personTableRead() const { return m_persons != nullptr; }

private:
    struct Source
    {
        qint16 transferType;
        QString source;
        std::shared_ptr<DbConnection> connection; // a run's, or none: a connection of its own
        bool withPersons;
    };
    bool check(const Source& from, const QString& library, const RunSelection& selection, const Progress& progress);

    std::unique_ptr<PersonTable> m_persons;
    std::unique_ptr<CertificateChecker> m_checker;
};
