#pragma once

#include "db/ExportRow.h"
#include "platform/Prompt.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sqlite3.h>

// Answers every question with OK (and "Ja" to writing all the same) and counts the boxes: a box in a
// benchmark means something failed.
class CountingPrompt : public Prompt
{
public:
    int messageBox(const QString& text, int style, const QString& title) override
    {
        ++boxes;
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return (style & MsgStyle::ButtonMask) == MsgStyle::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    QString saveFileName(const QString&, const QString&, const QString& initialName) override { return initialName; }
    bool login(const QString&, QString&, QString&) override { return true; }
    int boxes = 0;
};

// The benchmark's temporary files and its settings store go into `work`, so that a run neither reads
// the user's settings nor leaves anything behind.
inline void useWorkFolder(const QTemporaryDir& work)
{
    qputenv("TMPDIR", work.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", work.filePath(QStringLiteral("config")).toLocal8Bit());
}

inline void checkSqlite(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(2);
    }
}

// A value of row `row` (1 … rows) for `field`, or a null text for the common one below.
using BenchValue = std::function<QString(QLatin1String field, int row, int rows)>;

// An export table of `rows` certificates of one company ("Gebr. Müller & Söhne AG"), amounts as the
// host's decimals; `special` gives other values for some fields.
inline void writeBenchDatabase(const QString& path, int rows, const BenchValue& special = {})
{
    sqlite3* db = nullptr;
    checkSqlite(sqlite3_open(QFile::encodeName(path).constData(), &db), db);
    QStringList columns;
    QStringList markers;
    for (const QLatin1String f : Field::All) {
        columns.append(QString(f) + (f.startsWith(QLatin1String("EB")) ? QStringLiteral(" DECIMAL(11,2)")
                                                                       : QStringLiteral(" CHAR(60)")));
        markers.append(QStringLiteral("?"));
    }
    checkSqlite(sqlite3_exec(db,
                             QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(columns.join(u',')).toUtf8().constData(),
                             nullptr,
                             nullptr,
                             nullptr),
                db);
    checkSqlite(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db);
    sqlite3_stmt* insert = nullptr;
    checkSqlite(sqlite3_prepare_v2(
                    db,
                    QStringLiteral("INSERT INTO LGHLAEXP VALUES (%1)").arg(markers.join(u',')).toUtf8().constData(),
                    -1,
                    &insert,
                    nullptr),
                db);
    // The common value of `field` in row `r`, whose position in the row is `i`.
    const auto common = [](QLatin1String f, int r, int i) -> QString {
        if (f.startsWith(QLatin1String("EB")))
            return QStringLiteral("%1.%2").arg(1000 + (r * 37 + i) % 90000).arg(r % 100, 2, 10, QLatin1Char('0'));
        if (f == Field::EFLDA)
            return QStringLiteral("X");
        if (f == Field::EFLDE1)
            return QStringLiteral("01.01.2024");
        if (f == Field::EFLDE2)
            return QStringLiteral("31.12.2024");
        if (f == Field::EFLDI2)
            return QStringLiteral("Gebr. Müller & Söhne AG");
        if (f == Field::EFLDH1)
            return QStringLiteral("Mitarbeiterin %1 Zürcher").arg(r, 6, 10, QLatin1Char('0'));
        if (f == Field::EFLDD)
            return QStringLiteral("2024");
        if (f.size() == 5 || f == Field::EFLDH0 || f == Field::ET1311)
            return {};
        return QStringLiteral("Text %1 für Feld %2").arg(r).arg(QString(f));
    };
    for (int r = 1; r <= rows; ++r) {
        int i = 1;
        for (const QLatin1String f : Field::All) {
            QString v = special ? special(f, r, rows) : QString();
            if (v.isNull())
                v = common(f, r, i);
            const QByteArray bytes = v.toUtf8();
            sqlite3_bind_text(insert, i++, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
        }
        checkSqlite(sqlite3_step(insert), db);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    checkSqlite(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db);
    sqlite3_close(db);
}
