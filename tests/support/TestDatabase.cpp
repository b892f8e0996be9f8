#include "support/TestDatabase.h"

#include "db/OdbcConnection.h"
#include "platform/LaError.h"

#include <sqlite3.h>
#include <stdexcept>

TestDatabase::~TestDatabase() = default;

SqliteTestDatabase::SqliteTestDatabase()
    : m_db(nullptr, &sqlite3_close_v2)
{
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(path().toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    m_db.reset(raw);
    if (!m_dir.isValid() || rc != SQLITE_OK)
        throw std::runtime_error("cannot create the test database");
    // An empty file has no header yet; the first table gives it one.
}

QString SqliteTestDatabase::connectionString() const
{
    return QStringLiteral("Provider=IBMDA400;Data Source=") + path() + u';';
}

void SqliteTestDatabase::exec(const QString& statement, const QList<Variant>& parameters)
{
    sqlite3* db = m_db.get();
    sqlite3_stmt* raw = nullptr;
    const QByteArray sql = statement.toUtf8();
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &raw, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)> stmt(raw, &sqlite3_finalize);
    for (int i = 0; i < parameters.size(); ++i) {
        const Variant& p = parameters[i];
        switch (p.kind()) {
        case Variant::Kind::Null:
            sqlite3_bind_null(raw, i + 1);
            break;
        case Variant::Kind::Integer:
            sqlite3_bind_int64(raw, i + 1, p.toText().toLongLong());
            break;
        case Variant::Kind::Double:
            sqlite3_bind_double(raw, i + 1, p.toDouble());
            break;
        case Variant::Kind::Date:
            sqlite3_bind_text(raw,
                              i + 1,
                              p.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8().constData(),
                              -1,
                              SQLITE_TRANSIENT);
            break;
        default:
            sqlite3_bind_text(raw, i + 1, p.toText().toUtf8().constData(), -1, SQLITE_TRANSIENT);
            break;
        }
    }
    if (sqlite3_step(raw) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

MariaDbTestDatabase::MariaDbTestDatabase(const MariaDbServer& server)
    : m_server(server)
    , m_admin(std::make_unique<OdbcConnection>(server.adminConnectionString()))
{
}

int MariaDbTestDatabase::serverConnectionCount()
{
    const auto rs = m_admin->query(QStringLiteral("SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE USER = ?"),
                                   {Variant::text(MariaDbServer::user())});
    return int(rs->value(0).toDouble());
}

std::unique_ptr<TestDatabase> openTestDatabase(TestDatabaseKind kind, QString* whyNot)
{
    if (kind == TestDatabaseKind::Sqlite)
        return std::make_unique<SqliteTestDatabase>();
    MariaDbServer* server = MariaDbServer::instance(whyNot);
    if (!server)
        return nullptr;
    return std::make_unique<MariaDbTestDatabase>(*server);
}
