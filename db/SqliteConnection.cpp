#include "db/SqliteConnection.h"

#include "db/FetchedRecordSet.h"
#include "platform/LaError.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <sqlite3.h>

namespace {

const QString kSource = QStringLiteral("SQLite");

struct Finalizer
{
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, Finalizer>;

LaError sqliteError(sqlite3* db)
{
    return LaError(sqlite3_extended_errcode(db), kSource, QString::fromUtf8(sqlite3_errmsg(db)));
}

LaError sqliteError(int code, const QString& message)
{
    return LaError(code, kSource, message);
}

Statement prepare(sqlite3* db, const QByteArray& sql, bool wholeText)
{
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()) + 1, &raw, &tail) != SQLITE_OK)
        throw sqliteError(db);
    Statement statement(raw);
    if (!statement)
        throw sqliteError(SQLITE_MISUSE, QStringLiteral("Die Abfrage ist leer."));
    if (wholeText && tail) {
        // Only one statement may run; a second one behind a semicolon is refused, not ignored.
        sqlite3_stmt* next = nullptr;
        if (sqlite3_prepare_v2(db, tail, -1, &next, nullptr) != SQLITE_OK)
            throw sqliteError(db);
        Statement second(next);
        if (second)
            throw sqliteError(SQLITE_MISUSE, QStringLiteral("Es ist nur eine einzige Abfrage erlaubt."));
    }
    return statement;
}

void bind(sqlite3* db, sqlite3_stmt* statement, const QList<Variant>& parameters)
{
    const int markers = sqlite3_bind_parameter_count(statement);
    if (markers != parameters.size())
        throw sqliteError(
            SQLITE_RANGE,
            QStringLiteral("Die Abfrage hat %1 Parameter, übergeben wurden %2.").arg(markers).arg(parameters.size()));
    for (int i = 0; i < parameters.size(); ++i) {
        const Variant& p = parameters[i];
        int rc = SQLITE_OK;
        switch (p.kind()) {
        case Variant::Kind::Null:
            rc = sqlite3_bind_null(statement, i + 1);
            break;
        case Variant::Kind::Integer:
            rc = sqlite3_bind_int64(statement, i + 1, p.toText().toLongLong());
            break;
        case Variant::Kind::Double:
            rc = sqlite3_bind_double(statement, i + 1, p.toDouble());
            break;
        case Variant::Kind::Date: {
            const QByteArray text = p.toDate().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
            rc = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = p.toText().toUtf8();
            rc = sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
        if (rc != SQLITE_OK)
            throw sqliteError(db);
    }
}

QString quotedName(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

void SqliteConnection::Closer::operator()(sqlite3* db) const noexcept
{
    sqlite3_close_v2(db);
}

bool SqliteConnection::isSqliteFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    static const QByteArray header("SQLite format 3\0", 16);
    return file.read(16) == header;
}

SqliteConnection::SqliteConnection(const QString& path)
    : m_path(QFileInfo(path).absoluteFilePath())
{
    if (!QFileInfo(path).isFile())
        throw LaError(
            ErrNo::FileNotFound, kSource, QStringLiteral("Die Datenbankdatei '%1' wurde nicht gefunden.").arg(path));
    if (!isSqliteFile(path))
        throw LaError(
            SQLITE_NOTADB,
            kSource,
            QStringLiteral("Die Datei '%1' ist keine SQLite-Datenbank oder kann nicht gelesen werden.").arg(path));
    // The file itself is attached per library; the main database is an empty, read-only one in
    // memory, and attached files take over its read-only flag.
    sqlite3* raw = nullptr;
    const int rc =
        sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    m_db.reset(raw);
    if (rc != SQLITE_OK) {
        if (!m_db)
            throw LaError::runtime(ErrNo::OutOfMemory);
        throw sqliteError(m_db.get());
    }
    sqlite3_extended_result_codes(m_db.get(), 1);
    sqlite3_busy_timeout(m_db.get(), 5000);
}

SqliteConnection::~SqliteConnection() = default;

bool SqliteConnection::isOpen() const
{
    return m_db != nullptr;
}

void SqliteConnection::close()
{
    m_db.reset();
    m_libraries.clear();
}

void SqliteConnection::useLibrary(const QString& library)
{
    if (!m_db)
        throw LaError::runtime(ErrNo::ObjectNotSet, QStringLiteral("Die Datenbankverbindung ist geschlossen."));
    for (const QString& attached : m_libraries) {
        if (attached.compare(library, Qt::CaseInsensitive) == 0)
            return;
    }
    const QString uri =
        QStringLiteral("file:") + QString::fromUtf8(QUrl::toPercentEncoding(m_path, "/")) + QStringLiteral("?mode=ro");
    const Statement attach = prepare(m_db.get(), (QStringLiteral("ATTACH ? AS ") + quotedName(library)).toUtf8(), true);
    const QByteArray uriUtf8 = uri.toUtf8();
    if (sqlite3_bind_text(attach.get(), 1, uriUtf8.constData(), int(uriUtf8.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        throw sqliteError(m_db.get());
    if (sqlite3_step(attach.get()) != SQLITE_DONE)
        throw sqliteError(m_db.get());
    m_libraries.append(library);
}

std::unique_ptr<DbRecordSet> SqliteConnection::query(const QString& statementText, const QList<Variant>& parameters)
{
    if (!m_db)
        throw LaError::runtime(ErrNo::ObjectNotSet, QStringLiteral("Die Datenbankverbindung ist geschlossen."));
    sqlite3* db = m_db.get();
    const Statement statement = prepare(db, statementText.toUtf8(), true);
    ++m_statementCount;
    if (!sqlite3_stmt_readonly(statement.get()))
        throw sqliteError(SQLITE_READONLY, QStringLiteral("Es sind nur lesende Abfragen erlaubt."));
    bind(db, statement.get(), parameters);

    const int columns = sqlite3_column_count(statement.get());
    QStringList names;
    names.reserve(columns);
    for (int i = 0; i < columns; ++i)
        names.append(QString::fromUtf8(sqlite3_column_name(statement.get(), i)));
    auto result = std::make_unique<FetchedRecordSet>(names);
    for (;;) {
        const int rc = sqlite3_step(statement.get());
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW)
            throw sqliteError(db);
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(statement.get(), i)) {
            case SQLITE_INTEGER:
                result->addInteger(sqlite3_column_int64(statement.get(), i));
                break;
            case SQLITE_FLOAT:
                result->addDouble(sqlite3_column_double(statement.get(), i));
                break;
            case SQLITE_NULL:
                result->addNull();
                break;
            case SQLITE_BLOB: {
                const void* bytes = sqlite3_column_blob(statement.get(), i);
                result->addText(static_cast<const char*>(bytes), sqlite3_column_bytes(statement.get(), i));
                break;
            }
            default: {
                const unsigned char* text = sqlite3_column_text(statement.get(), i);
                result->addText(reinterpret_cast<const char*>(text), sqlite3_column_bytes(statement.get(), i));
                break;
            }
            }
        }
    }
    return result;
}
