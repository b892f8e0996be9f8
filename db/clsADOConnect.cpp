#include "db/clsADOConnect.h"

#include "db/DbConnection.h"
#include "db/DbRecordSet.h"
#include "db/LibraryName.h"
#include "platform/LaError.h"
#include "platform/Prompt.h"

namespace {

const QString kClass = QStringLiteral("clsADOConnect.");

} // namespace

clsADOConnect::clsADOConnect() = default;

clsADOConnect::~clsADOConnect()
{
    // Each step is tried whatever became of the one before; a release never fails.
    try {
        if (m_recordset)
            m_recordset->close();
    } catch (...) {
    }
    m_recordset.reset();
    try {
        if (m_connection && !m_liblSet)
            m_connection->close();
    } catch (...) {
    }
    m_connection.reset();
}

QString clsADOConnect::buildStatement(const QString& library,
                                      const QString& strFile,
                                      const QString& strSelect,
                                      const QString& strWhere,
                                      const QString& strSort)
{
    QString sql = QStringLiteral("SELECT");
    sql += strSelect.isEmpty() ? QStringLiteral(" * FROM ") : u' ' + strSelect + QStringLiteral(" FROM ");
    sql += library + u'.' + strFile;
    if (!strWhere.isEmpty())
        sql += QStringLiteral(" WHERE ") + strWhere;
    if (!strSort.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + strSort;
    return sql;
}

bool clsADOConnect::init(const QString& strFile,
                         const QString& strSelect,
                         const QString& strWhere,
                         const QString& strSort,
                         const QList<Variant>& parameters)
{
    try {
        // The library reaches the statement unquoted: refuse anything but a plain name before a
        // connection is opened or a statement is sent.
        if (!isPlainLibraryName(m_library))
            throw LaError::runtime(
                ErrNo::InvalidCall,
                QStringLiteral("Die Bibliothek '%1' ist kein gültiger Name (erlaubt sind Buchstaben, "
                               "Ziffern, _, $, #, @, nicht mit einer Ziffer am Anfang, höchstens "
                               "128 Zeichen).")
                    .arg(m_library));
        if (!m_connection) {
            try {
                m_connection = openDbConnection(m_source, m_timeoutSeconds);
            } catch (...) {
                // The driver's own text, often English, goes below a German line saying what failed.
                const LaError error = toLaError(std::current_exception());
                prompt().messageBox(QStringLiteral("Verbindung zur Datenquelle '%1' nicht möglich.\r\n\r\n")
                                            .arg(dataSourceName(m_source)) +
                                        errorBoxText(error, {}),
                                    MsgStyle::Critical,
                                    errorBoxTitle(kClass + QStringLiteral("init")));
                return false;
            }
        }
        m_connection->useLibrary(m_library);
        m_recordset.reset();
        m_recordset = m_connection->query(buildStatement(m_library, strFile, strSelect, strWhere, strSort), parameters);
        return true;
    } catch (...) {
        showError(16, kClass + QStringLiteral("init"));
        return false;
    }
}

bool clsADOConnect::isEOF() const
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        return m_recordset->isEOF();
    } catch (...) {
        raiseError(kClass + QStringLiteral("EOF"));
    }
}

QString clsADOConnect::getValue() const
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        return nz(m_recordset->value(0), QString());
    } catch (...) {
        raiseError(kClass + QStringLiteral("getValue"));
    }
}

std::shared_ptr<DbConnection> clsADOConnect::getConnection() const
{
    return m_connection;
}

std::shared_ptr<DbRecordSet> clsADOConnect::getRecordset() const
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        return m_recordset;
    } catch (...) {
        raiseError(kClass + QStringLiteral("getRecordset"));
    }
}

int clsADOConnect::AbsolutePosition() const
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        return m_recordset->absolutePosition();
    } catch (...) {
        raiseError(kClass + QStringLiteral("AbsolutePosition"));
    }
}

void clsADOConnect::MoveFirst()
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        m_recordset->moveFirst();
    } catch (...) {
        raiseError(kClass + QStringLiteral("MoveFirst"));
    }
}

void clsADOConnect::MoveLast()
{
    try {
        // A reader at its end (an empty result too) stays where it is.
        if (!isEOF())
            m_recordset->moveLast();
    } catch (...) {
        raiseError(kClass + QStringLiteral("MoveLast"));
    }
}

void clsADOConnect::MoveNext()
{
    try {
        if (!m_recordset)
            throw LaError::runtime(ErrNo::ObjectNotSet);
        m_recordset->moveNext();
    } catch (...) {
        raiseError(kClass + QStringLiteral("MoveNext"));
    }
}

void clsADOConnect::setConnection(std::shared_ptr<DbConnection> connect)
{
    m_connection = std::move(connect);
}

void clsADOConnect::setLibl(const QString& Libl)
{
    m_library = Libl;
    m_liblSet = true;
}

void clsADOConnect::setSource(const QString& Source)
{
    m_source = Source;
}
