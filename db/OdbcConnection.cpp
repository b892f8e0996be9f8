#include "db/OdbcConnection.h"

#include "db/FetchedRecordSet.h"
#include "platform/LaError.h"

#include <QElapsedTimer>
#include <deque>
#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>
#include <utility>
#include <vector>

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "the driver manager must use UTF-16 wide characters");

namespace {

const SQLWCHAR* wide(const QString& text)
{
    return reinterpret_cast<const SQLWCHAR*>(text.utf16());
}

// The driver's diagnostics, read at once: any further call on the handle would replace them.
class OdbcError : public LaError
{
public:
    OdbcError(SQLSMALLINT handleType, SQLHANDLE handle)
        : OdbcError(read(handleType, handle))
    {
    }

private:
    struct Diagnostics
    {
        SQLINTEGER native = 0;
        QString state;
        QString message;
    };

    explicit OdbcError(const Diagnostics& d)
        : LaError(d.native != 0 ? int(d.native) : -1,
                  QStringLiteral("ODBC ") + d.state,
                  d.message.isEmpty() ? QStringLiteral("Unbekannter ODBC-Fehler.") : d.message)
    {
    }

    static Diagnostics read(SQLSMALLINT handleType, SQLHANDLE handle)
    {
        Diagnostics d;
        if (handle == SQL_NULL_HANDLE)
            return d;
        QStringList messages;
        for (SQLSMALLINT record = 1; record <= 8; ++record) {
            SQLWCHAR state[6] = {};
            SQLINTEGER native = 0;
            std::vector<SQLWCHAR> text(1024);
            SQLSMALLINT length = 0;
            SQLRETURN rc = SQLGetDiagRecW(
                handleType, handle, record, state, &native, text.data(), SQLSMALLINT(text.size()), &length);
            if (rc == SQL_SUCCESS_WITH_INFO && length >= SQLSMALLINT(text.size())) {
                text.resize(size_t(length) + 1);
                rc = SQLGetDiagRecW(
                    handleType, handle, record, state, &native, text.data(), SQLSMALLINT(text.size()), &length);
            }
            if (!SQL_SUCCEEDED(rc))
                break;
            // Some drivers count or embed terminating NULs in the message.
            QString message = QString::fromUtf16(reinterpret_cast<const char16_t*>(text.data()),
                                                 qMin<qsizetype>(length, text.size()));
            message.truncate(message.indexOf(QChar(u'\0')) < 0 ? message.size() : message.indexOf(QChar(u'\0')));
            // The first error names the failure; warnings (class 01) only stand in when nothing else came.
            const QString stateText = QString::fromUtf16(reinterpret_cast<const char16_t*>(state), 5);
            if (d.state.isEmpty() ||
                (d.state.startsWith(QLatin1String("01")) && !stateText.startsWith(QLatin1String("01")))) {
                d.native = native;
                d.state = stateText;
            }
            messages.append(message);
        }
        d.message = messages.join(u'\n');
        return d;
    }
};

// One ODBC handle, freed when it goes. A statement is cancelled and closed first, so that a driver
// still sending rows lets go of them.
class OdbcHandle
{
public:
    OdbcHandle() = default;
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent)
        : m_type(type)
    {
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &m_handle))) {
            m_handle = SQL_NULL_HANDLE;
            if (parent != SQL_NULL_HANDLE)
                throw OdbcError(type == SQL_HANDLE_DBC ? SQL_HANDLE_ENV : SQL_HANDLE_DBC, parent);
            throw LaError(
                -1, QStringLiteral("ODBC"), QStringLiteral("Der ODBC-Treibermanager kann nicht verwendet werden."));
        }
    }
    OdbcHandle(OdbcHandle&& other) noexcept
        : m_type(other.m_type)
        , m_handle(std::exchange(other.m_handle, SQLHANDLE{}))
    {
    }
    OdbcHandle& operator=(OdbcHandle&& other) noexcept
    {
        if (this != &other) {
            release();
            m_type = other.m_type;
            m_handle = std::exchange(other.m_handle, SQLHANDLE{});
        }
        return *this;
    }
    OdbcHandle(const OdbcHandle&) = delete;
    OdbcHandle& operator=(const OdbcHandle&) = delete;
    ~OdbcHandle() { release(); }

    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }

    // Throws the handle's diagnostics unless `rc` is a success.
    void check(SQLRETURN rc) const
    {
        if (!SQL_SUCCEEDED(rc))
            throw OdbcError(m_type, m_handle);
    }

private:
    void release() noexcept
    {
        if (m_handle == SQL_NULL_HANDLE)
            return;
        if (m_type == SQL_HANDLE_STMT) {
            SQLCancel(m_handle);
            SQLFreeStmt(m_handle, SQL_CLOSE);
        }
        SQLFreeHandle(m_type, m_handle);
        m_handle = SQL_NULL_HANDLE;
    }

    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// Disconnects before the connection handle is freed.
class Disconnect
{
public:
    explicit Disconnect(SQLHANDLE dbc)
        : m_dbc(dbc)
    {
    }
    Disconnect(const Disconnect&) = delete;
    Disconnect& operator=(const Disconnect&) = delete;
    ~Disconnect() { SQLDisconnect(m_dbc); }

private:
    SQLHANDLE m_dbc;
};

enum class ColumnKind
{
    Integer,
    Decimal,
    Double,
    Text,
    Binary,
    Date,
    Timestamp
};

ColumnKind columnKind(SQLSMALLINT sqlType)
{
    switch (sqlType) {
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_BIT:
        return ColumnKind::Integer;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return ColumnKind::Decimal;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ColumnKind::Double;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return ColumnKind::Date;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
        return ColumnKind::Timestamp;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
        return ColumnKind::Binary;
    default:
        return ColumnKind::Text;
    }
}

// Reads one column of the current row into `result`.
class ColumnReader
{
public:
    explicit ColumnReader(const OdbcHandle& statement)
        : m_statement(statement)
    {
    }

    void read(SQLUSMALLINT column, ColumnKind kind, FetchedRecordSet& result)
    {
        SQLLEN indicator = 0;
        switch (kind) {
        case ColumnKind::Integer: {
            SQLBIGINT v = 0;
            get(column, SQL_C_SBIGINT, &v, sizeof v, &indicator);
            indicator == SQL_NULL_DATA ? result.addNull() : result.addInteger(v);
            return;
        }
        case ColumnKind::Double: {
            double v = 0;
            get(column, SQL_C_DOUBLE, &v, sizeof v, &indicator);
            indicator == SQL_NULL_DATA ? result.addNull() : result.addDouble(v);
            return;
        }
        case ColumnKind::Date: {
            SQL_DATE_STRUCT v{};
            get(column, SQL_C_TYPE_DATE, &v, sizeof v, &indicator);
            indicator == SQL_NULL_DATA ? result.addNull() : result.addDate(QDate(v.year, v.month, v.day));
            return;
        }
        case ColumnKind::Timestamp: {
            SQL_TIMESTAMP_STRUCT v{};
            get(column, SQL_C_TYPE_TIMESTAMP, &v, sizeof v, &indicator);
            if (indicator == SQL_NULL_DATA)
                result.addNull();
            else
                result.addTimestamp(QDateTime(QDate(v.year, v.month, v.day),
                                              QTime(v.hour, v.minute, v.second, int(v.fraction / 1000000))));
            return;
        }
        case ColumnKind::Decimal:
        case ColumnKind::Binary: {
            QByteArray bytes;
            if (!readPieces(column, kind == ColumnKind::Decimal ? SQL_C_CHAR : SQL_C_BINARY, bytes))
                result.addNull();
            else if (kind == ColumnKind::Decimal)
                result.addDecimal(bytes.constData(), bytes.size());
            else
                result.addText(bytes.constData(), bytes.size());
            return;
        }
        case ColumnKind::Text: {
            QByteArray bytes;
            if (!readPieces(column, SQL_C_WCHAR, bytes))
                result.addNull();
            else
                result.addText(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()),
                                                  bytes.size() / qsizetype(sizeof(char16_t))));
            return;
        }
        }
    }

private:
    void get(SQLUSMALLINT column, SQLSMALLINT cType, void* target, SQLLEN size, SQLLEN* indicator)
    {
        m_statement.check(SQLGetData(m_statement.get(), column, cType, target, size, indicator));
    }

    // Long values come in several pieces; each piece but the last fills the buffer up to its
    // terminating NUL. False for Null.
    bool readPieces(SQLUSMALLINT column, SQLSMALLINT cType, QByteArray& out)
    {
        const qsizetype terminator = cType == SQL_C_WCHAR ? 2 : cType == SQL_C_CHAR ? 1 : 0;
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN rc =
                SQLGetData(m_statement.get(), column, cType, m_buffer, SQLLEN(sizeof m_buffer), &indicator);
            if (rc == SQL_NO_DATA) // all pieces were taken
                return true;
            m_statement.check(rc);
            if (indicator == SQL_NULL_DATA)
                return false;
            const qsizetype room = qsizetype(sizeof m_buffer) - terminator;
            if (indicator == SQL_NO_TOTAL || indicator > room) {
                out.append(m_buffer, room);
                continue;
            }
            out.append(m_buffer, qsizetype(indicator));
            return true;
        }
    }

    const OdbcHandle& m_statement;
    char m_buffer[8192];
};

// Parameter values bound to `?` markers must stay in place until the statement has run.
struct ParameterBuffer
{
    QString text;
    QByteArray bytes;
    SQLBIGINT integer = 0;
    double floating = 0;
    SQL_DATE_STRUCT date{};
    SQL_TIMESTAMP_STRUCT timestamp{};
    SQLLEN indicator = 0;
};

void bindParameter(const OdbcHandle& statement, SQLUSMALLINT number, const Variant& value, ParameterBuffer& b)
{
    SQLRETURN rc = SQL_SUCCESS;
    switch (value.kind()) {
    case Variant::Kind::Null:
        b.indicator = SQL_NULL_DATA;
        rc = SQLBindParameter(
            statement.get(), number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 1, 0, nullptr, 0, &b.indicator);
        break;
    case Variant::Kind::Integer:
        b.integer = value.toText().toLongLong();
        rc = SQLBindParameter(
            statement.get(), number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.integer, 0, nullptr);
        break;
    case Variant::Kind::Double:
        b.floating = value.toDouble();
        rc = SQLBindParameter(
            statement.get(), number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.floating, 0, nullptr);
        break;
    case Variant::Kind::Decimal: {
        b.bytes = value.toText().trimmed().toLatin1();
        const qsizetype point = b.bytes.indexOf('.');
        const SQLSMALLINT scale = point < 0 ? 0 : SQLSMALLINT(b.bytes.size() - point - 1);
        b.indicator = SQLLEN(b.bytes.size());
        rc = SQLBindParameter(statement.get(),
                              number,
                              SQL_PARAM_INPUT,
                              SQL_C_CHAR,
                              SQL_DECIMAL,
                              SQLULEN(qMax<qsizetype>(b.bytes.size(), 1)),
                              scale,
                              b.bytes.data(),
                              b.indicator,
                              &b.indicator);
        break;
    }
    case Variant::Kind::Date: {
        const QDate d = value.toDate();
        b.date = {SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day())};
        rc = SQLBindParameter(
            statement.get(), number, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0, &b.date, 0, nullptr);
        break;
    }
    case Variant::Kind::Timestamp: {
        const QDateTime t = QDateTime::fromString(value.toText(), QStringLiteral("dd.MM.yyyy hh:mm:ss"));
        const QDate d = value.toDate();
        const QTime time = t.isValid() ? t.time() : QTime(0, 0);
        b.timestamp = {SQLSMALLINT(d.year()),
                       SQLUSMALLINT(d.month()),
                       SQLUSMALLINT(d.day()),
                       SQLUSMALLINT(time.hour()),
                       SQLUSMALLINT(time.minute()),
                       SQLUSMALLINT(time.second()),
                       0};
        rc = SQLBindParameter(statement.get(),
                              number,
                              SQL_PARAM_INPUT,
                              SQL_C_TYPE_TIMESTAMP,
                              SQL_TYPE_TIMESTAMP,
                              19,
                              0,
                              &b.timestamp,
                              0,
                              nullptr);
        break;
    }
    case Variant::Kind::Text:
        b.text = value.toText();
        b.indicator = SQLLEN(b.text.size() * qsizetype(sizeof(char16_t)));
        rc = SQLBindParameter(statement.get(),
                              number,
                              SQL_PARAM_INPUT,
                              SQL_C_WCHAR,
                              SQL_WVARCHAR,
                              SQLULEN(qMax<qsizetype>(b.text.size(), 1)),
                              0,
                              b.text.data(),
                              b.indicator,
                              &b.indicator);
        break;
    }
    statement.check(rc);
}

} // namespace

// Declared in the order of their creation, so that they go in reverse: the connection is
// disconnected, then its handle freed, then the environment.
struct OdbcConnection::Handles
{
    OdbcHandle env;
    OdbcHandle dbc;
    std::unique_ptr<Disconnect> connected;
};

OdbcConnection::OdbcConnection(const QString& connectionString, int timeoutSeconds, QString server)
    : m_handles(std::make_unique<Handles>())
    , m_timeoutSeconds(qMax(0, timeoutSeconds))
    , m_server(std::move(server))
{
    Handles& h = *m_handles;
    h.env = OdbcHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
    h.env.check(SQLSetEnvAttr(h.env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
    h.dbc = OdbcHandle(SQL_HANDLE_DBC, h.env.get());
    // A host that does not answer must not hang the run for ever. Drivers that know no such time-out
    // refuse the attributes, which changes nothing.
    const auto loginTimeout = SQLULEN(loginTimeoutSeconds(m_timeoutSeconds));
    SQLSetConnectAttrW(h.dbc.get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(loginTimeout), 0);
    if (m_timeoutSeconds > 0)
        SQLSetConnectAttrW(
            h.dbc.get(), SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(m_timeoutSeconds)), 0);
    SQLWCHAR completed[1024];
    SQLSMALLINT completedLength = 0;
    QElapsedTimer waited;
    waited.start();
    try {
        h.dbc.check(SQLDriverConnectW(h.dbc.get(),
                                      nullptr,
                                      const_cast<SQLWCHAR*>(wide(connectionString)),
                                      SQL_NTS,
                                      completed,
                                      SQLSMALLINT(std::size(completed)),
                                      &completedLength,
                                      SQL_DRIVER_NOPROMPT));
    } catch (const LaError& e) {
        throw explainLostServer(e, Wait::Login, waited.elapsed());
    }
    h.connected = std::make_unique<Disconnect>(h.dbc.get());
}

LaError OdbcConnection::explainLostServer(const LaError& error, Wait wait, qint64 waitedMs) const
{
    // Communication link failure, or a time-out of the driver: the host went away or stopped answering.
    static const QStringList waitStates{QStringLiteral("ODBC 08S01"),
                                        QStringLiteral("ODBC 08S02"),
                                        QStringLiteral("ODBC HYT00"),
                                        QStringLiteral("ODBC HYT01")};
    // The MariaDB and MySQL drivers' numbers for a connection that broke (the server gone away or
    // lost during a query, a failed read or write on its socket), under 08S01 or the general HY000.
    static const QList<int> brokenConnection{2006, 2013, 2055, 5013, 5014};
    const bool broken = error.source().startsWith(QLatin1String("ODBC ")) && brokenConnection.contains(error.number());
    const bool waited = waitStates.contains(error.source());
    if (!waited && !broken)
        return error;
    // The login has a limit of its own, also when the statements have none.
    const int limit = wait == Wait::Login ? loginTimeoutSeconds(m_timeoutSeconds) : m_timeoutSeconds;
    // The drivers report a read that timed out like a connection that broke; only a call that ended
    // well before its limit is certainly no time-out.
    const bool beforeLimit = limit <= 0 || waitedMs < qint64(limit) * 1000 - 500;
    QString text;
    if (broken && beforeLimit)
        text = QStringLiteral("Die Verbindung zum Datenbankserver '%1' ist verloren gegangen (der Server wurde beendet "
                              "oder die Verbindung getrennt); der Lauf wurde beendet.")
                   .arg(m_server);
    else if (wait == Wait::Login)
        text = QStringLiteral("Der Datenbankserver '%1' antwortet nicht auf die Anmeldung (Zeitlimit %2 Sekunden) "
                              "oder die Verbindung zu ihm ist unterbrochen; der Lauf wurde beendet.")
                   .arg(m_server)
                   .arg(limit);
    else if (limit > 0)
        text = QStringLiteral("Der Datenbankserver '%1' antwortet nicht (Zeitlimit %2 Sekunden, Einstellung "
                              "DbTimeout) oder die Verbindung zu ihm ist unterbrochen; der Lauf wurde beendet.")
                   .arg(m_server)
                   .arg(limit);
    else
        text = QStringLiteral("Die Verbindung zum Datenbankserver '%1' ist unterbrochen; der Lauf wurde beendet.")
                   .arg(m_server);
    return LaError(error.number(), error.source(), text + u'\n' + error.description());
}

OdbcConnection::~OdbcConnection() = default;

bool OdbcConnection::isOpen() const
{
    return m_handles && m_handles->connected;
}

void OdbcConnection::close()
{
    m_handles.reset();
}

std::unique_ptr<DbRecordSet> OdbcConnection::query(const QString& statementText, const QList<Variant>& parameters)
{
    if (!isOpen())
        throw LaError::runtime(ErrNo::ObjectNotSet, QStringLiteral("Die Datenbankverbindung ist geschlossen."));
    QElapsedTimer waited;
    waited.start();
    try {
        return fetch(statementText, parameters);
    } catch (const LaError& e) {
        throw explainLostServer(e, Wait::Statement, waited.elapsed());
    }
}

std::unique_ptr<DbRecordSet> OdbcConnection::fetch(const QString& statementText, const QList<Variant>& parameters)
{
    const OdbcHandle statement(SQL_HANDLE_STMT, m_handles->dbc.get());
    if (m_timeoutSeconds > 0)
        SQLSetStmtAttrW(
            statement.get(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(m_timeoutSeconds)), 0);
    std::deque<ParameterBuffer> buffers(size_t(parameters.size()));
    ++m_statementCount;
    SQLRETURN rc;
    if (parameters.isEmpty()) {
        rc = SQLExecDirectW(statement.get(), const_cast<SQLWCHAR*>(wide(statementText)), SQL_NTS);
    } else {
        statement.check(SQLPrepareW(statement.get(), const_cast<SQLWCHAR*>(wide(statementText)), SQL_NTS));
        for (qsizetype i = 0; i < parameters.size(); ++i)
            bindParameter(statement, SQLUSMALLINT(i + 1), parameters[i], buffers[size_t(i)]);
        rc = SQLExecute(statement.get());
    }
    if (rc != SQL_NO_DATA)
        statement.check(rc);

    SQLSMALLINT columns = 0;
    statement.check(SQLNumResultCols(statement.get(), &columns));
    QStringList names;
    std::vector<ColumnKind> kinds;
    for (SQLUSMALLINT i = 1; i <= SQLUSMALLINT(columns); ++i) {
        SQLWCHAR name[256];
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT type = 0;
        SQLULEN size = 0;
        SQLSMALLINT digits = 0;
        SQLSMALLINT nullable = 0;
        statement.check(SQLDescribeColW(
            statement.get(), i, name, SQLSMALLINT(std::size(name)), &nameLength, &type, &size, &digits, &nullable));
        names.append(QString::fromUtf16(reinterpret_cast<const char16_t*>(name),
                                        qMin<qsizetype>(nameLength, qsizetype(std::size(name)) - 1)));
        kinds.push_back(columnKind(type));
    }
    auto result = std::make_unique<FetchedRecordSet>(names);
    if (columns == 0)
        return result;
    auto reader = std::make_unique<ColumnReader>(statement);
    for (;;) {
        rc = SQLFetch(statement.get());
        if (rc == SQL_NO_DATA)
            break;
        statement.check(rc);
        for (SQLUSMALLINT i = 0; i < SQLUSMALLINT(columns); ++i)
            reader->read(i + 1, kinds[i], *result);
    }
    return result;
}
