#include "report/PlausibilityCheck.h"

#include "app/Globals.h"
#include "app/MainWindowView.h"
#include "app/RunSettings.h"
#include "db/ConnectionString.h"
#include "db/DbRecordSet.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "platform/RunCancel.h"
#include "report/PersonTable.h"
#include "report/RunSelection.h"

#include <QHash>
#include <vector>

PlausibilityCheck::PlausibilityCheck()
    : m_checker(std::make_unique<CertificateChecker>())
{
}

PlausibilityCheck::~PlausibilityCheck() = default;

bool PlausibilityCheck::run(qint16 transferType,
                            const QString& source,
                            const QString& library,
                            const RunSelection& selection,
                            const Progress& progress)
{
    return check({transferType, source, {}, true}, library, selection, progress);
}

bool PlausibilityCheck::runOn(std::shared_ptr<DbConnection> connection,
                              const QString& library,
                              const RunSelection& selection,
                              bool withPersons,
                              const Progress& progress)
{
    return check({0, {}, std::move(connection), withPersons}, library, selection, progress);
}

bool PlausibilityCheck::check(const Source& from,
                              const QString& library,
                              const RunSelection& selection,
                              const Progress& progress)
{
    try {
        m_persons.reset();
        m_checker = std::make_unique<CertificateChecker>();
        // In the order of the import file, so that the person rules see each person line once.
        clsADOConnect rows;
        rows.setLibl(library);
        if (from.connection) {
            rows.setConnection(from.connection);
        } else {
            if (from.transferType != 0 && from.transferType != 1)
                throw LaError::runtime(ErrNo::ObjectNotSet,
                                       QStringLiteral("Keine Übertragungsart gewählt: bitte ODBC oder OLE DB wählen."));
            const QString connection = getADOProvider(from.transferType, from.source);
            // Login closed without OK, or its own box shown: no connection is tried, nothing more is said.
            if (connection.isEmpty())
                return false;
            rows.setSource(connection);
            rows.setTimeout(dbTimeoutSeconds());
        }
        if (!rows.init(QString(kExportTableName),
                       {},
                       selection.condition(),
                       QStringLiteral("EFLDI2, EFLDH1, EFLDC2"),
                       selection.parameters()))
            return false;
        if (from.withPersons) {
            clsADOConnect persons;
            persons.setLibl(library);
            persons.setConnection(rows.getConnection());
            if (persons.init(QStringLiteral("LGHPS"), PersonTable::selectList())) {
                m_persons = std::make_unique<PersonTable>();
                m_persons->load(*persons.getRecordset());
            }
        }
        m_checker = std::make_unique<CertificateChecker>(m_persons.get());

        // Field positions are looked up once; a field the table lacks is read by name, so that the
        // reading fails with the record set's own error.
        const std::shared_ptr<DbRecordSet> rs = rows.getRecordset();
        QHash<QString, int> byName;
        for (int i = 0; i < rs->fieldCount(); ++i)
            byName.insert(rs->fieldName(i).toUpper(), i);
        std::vector<int> columns;
        for (const QLatin1String field : Field::All)
            columns.push_back(byName.value(QString(field), -1));

        CheckRow row;
        qint64 number = 0;
        // The cancel request of the window or of a signal, taken up between rows.
        RunCancel* cancel = gFrmMain ? gFrmMain->runCancel() : nullptr;
        for (; !rows.isEOF(); rows.MoveNext()) {
            if (cancel)
                cancel->checkpoint();
            if (progress && ++number % 1000 == 1)
                progress(number);
            for (std::size_t i = 0; i < Field::All.size(); ++i)
                row[i] = columns[i] >= 0 ? rs->value(columns[i]) : rs->value(QString(Field::All[i]));
            m_checker->check(row);
        }
        return true;
    } catch (...) {
        raiseError(QStringLiteral("PlausibilityCheck.run"));
    }
}
