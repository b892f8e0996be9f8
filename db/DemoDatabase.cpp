#include "db/DemoDatabase.h"

#include "db/ExportRow.h"
#include "platform/LaError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <QVariant>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

namespace {

struct Company
{
    QString name;
    QString street;
    QString zipCity;
    QString contact;
    QString phone;
    QString placeDate;
    int number;
    bool isoDates; // the host delivers dates in either text form; the demo has both
};

struct Person
{
    int company;
    QString name;
    QString street;
    QString zip;
    QString town;
    QString canton; // "-" : not in the person table
    int sex;        // 1 male, 2 female
    char kind;      // 'S' salary, 'A' annuity, 's' salary with a lower-case mark, 'B' both marks set
};

const QList<Company>& companies()
{
    static const QList<Company> list{
        {QStringLiteral("Alpenblick Treuhand AG"),
         QStringLiteral("Bahnhofstrasse 12"),
         QStringLiteral("8001 Zürich"),
         QStringLiteral("Keller Anna"),
         QStringLiteral("044 123 45 67"),
         QStringLiteral("Zürich, 30.01.2026"),
         101,
         false},
        {QStringLiteral("Bäckerei Müller & Söhne GmbH"),
         QStringLiteral("Hauptgasse 5"),
         QStringLiteral("3011 Bern"),
         QStringLiteral("Müller Peter"),
         QStringLiteral("031 987 65 43"),
         QString(),
         202,
         true},
        {QStringLiteral("Rhône Transports SA"),
         QStringLiteral("Rue du Marché 3"),
         QStringLiteral("1204 Genève"),
         QStringLiteral("Favre Jean-Luc"),
         QStringLiteral("022 555 12 34"),
         QStringLiteral("Genève, 28.01.2026"),
         303,
         false},
    };
    return list;
}

const QList<Person>& people()
{
    static const QList<Person> list{
        {0,
         QStringLiteral("Meier Hans"),
         QStringLiteral("Seestrasse 14"),
         QStringLiteral("8002"),
         QStringLiteral("Zürich"),
         QStringLiteral("ZH"),
         1,
         'S'},
        {0,
         QStringLiteral("Müller Anna"),
         QStringLiteral("Langstrasse 120"),
         QStringLiteral("8004"),
         QStringLiteral("Zürich"),
         QStringLiteral("ZH"),
         2,
         'S'},
        {0,
         QStringLiteral("D'Amico Luca"),
         QStringLiteral("Via Cantonale 7"),
         QStringLiteral("6900"),
         QStringLiteral("Lugano"),
         QStringLiteral("TI"),
         1,
         'S'},
        {0,
         QStringLiteral("von Allmen Hans Peter"),
         QStringLiteral("Dorfstrasse 3"),
         QStringLiteral("3823"),
         QStringLiteral("Wengen"),
         QStringLiteral("BE"),
         1,
         'S'},
        {0,
         QStringLiteral("Weiß Jürg"),
         QStringLiteral("Rosenweg 9"),
         QStringLiteral("8400"),
         QStringLiteral("Winterthur"),
         QStringLiteral("ZH"),
         1,
         'S'},
        {0,
         QStringLiteral("Schär-Brunner Käthi"),
         QStringLiteral("Bachstrasse 22"),
         QStringLiteral("5000"),
         QStringLiteral("Aarau"),
         QStringLiteral("AG"),
         2,
         'S'},
        {0,
         QStringLiteral("Keller Ursula"),
         QStringLiteral("Bahnhofplatz 1"),
         QStringLiteral("8180"),
         QStringLiteral("Bülach"),
         QStringLiteral("ZH"),
         2,
         'S'},
        {0,
         QStringLiteral("Huber Beat"),
         QStringLiteral("Zürcherstrasse 45"),
         QStringLiteral("8600"),
         QStringLiteral("Dübendorf"),
         QStringLiteral("ZH"),
         1,
         'B'},
        {0,
         QStringLiteral("Gerber Sandra"),
         QStringLiteral("Hohlstrasse 200"),
         QStringLiteral("8048"),
         QStringLiteral("Zürich"),
         QStringLiteral("ZH"),
         2,
         'S'},
        {0,
         QStringLiteral("Frei Thomas"),
         QStringLiteral("Alte Landstrasse 8"),
         QStringLiteral("8802"),
         QStringLiteral("Kilchberg"),
         QStringLiteral("ZH"),
         1,
         'S'},
        {0,
         QStringLiteral("Baumann Ruth"),
         QStringLiteral("Schulhausstrasse 2"),
         QStringLiteral("8700"),
         QStringLiteral("Küsnacht"),
         QStringLiteral("ZH"),
         2,
         'A'},
        {0,
         QStringLiteral("Steiner Walter"),
         QStringLiteral("Im Grüt 4"),
         QStringLiteral("8610"),
         QStringLiteral("Uster"),
         QStringLiteral("ZH"),
         1,
         'A'},
        {0,
         QStringLiteral("Da Silva Costa João"),
         QStringLiteral("Badenerstrasse 310"),
         QStringLiteral("8004"),
         QStringLiteral("Zürich"),
         QStringLiteral("-"),
         1,
         'S'},
        {0,
         QStringLiteral("Brunner Lea"),
         QStringLiteral("Forchstrasse 88"),
         QStringLiteral("8008"),
         QStringLiteral("Zürich"),
         QStringLiteral("ZH"),
         2,
         'S'},
        {0,
         QStringLiteral("Schmid Reto"),
         QStringLiteral("Obere Gasse 11"),
         QStringLiteral("7000"),
         QStringLiteral("Chur"),
         QStringLiteral("GR"),
         1,
         'S'},
        {1,
         QStringLiteral("Müller Peter"),
         QStringLiteral("Hauptgasse 5"),
         QStringLiteral("3011"),
         QStringLiteral("Bern"),
         QStringLiteral("BE"),
         1,
         'S'},
        {1,
         QStringLiteral("Zürcher Heidi"),
         QStringLiteral("Kramgasse 44"),
         QStringLiteral("3011"),
         QStringLiteral("Bern"),
         QStringLiteral("BE"),
         2,
         'S'},
        {1,
         QStringLiteral("Bühler Marc"),
         QStringLiteral("Thunstrasse 17"),
         QStringLiteral("3074"),
         QStringLiteral("Muri bei Bern"),
         QStringLiteral("BE"),
         1,
         'S'},
        {1,
         QStringLiteral("Käser Monika"),
         QStringLiteral("Bernstrasse 2"),
         QStringLiteral("3400"),
         QStringLiteral("Burgdorf"),
         QStringLiteral("BE"),
         2,
         'S'},
        {1,
         QStringLiteral("Rüegg Simon"),
         QStringLiteral("Seftigenstrasse 100"),
         QStringLiteral("3007"),
         QStringLiteral("Bern"),
         QStringLiteral("BE"),
         1,
         'S'},
        {1,
         QStringLiteral("Lehmann Erika"),
         QStringLiteral("Aarbergergasse 8"),
         QStringLiteral("3011"),
         QStringLiteral("Bern"),
         QStringLiteral("BE"),
         2,
         'A'},
        {1,
         QStringLiteral("O'Neill Patrick"),
         QStringLiteral("Marktgasse 30"),
         QStringLiteral("3800"),
         QStringLiteral("Interlaken"),
         QStringLiteral("-"),
         1,
         'S'},
        {1,
         QStringLiteral("Graf Nadine"),
         QStringLiteral("Murtenstrasse 9"),
         QStringLiteral("3280"),
         QStringLiteral("Murten"),
         QStringLiteral("FR"),
         2,
         'S'},
        {1,
         QStringLiteral("Wüthrich Fritz"),
         QStringLiteral("Emmentalstrasse 1"),
         QStringLiteral("3550"),
         QStringLiteral("Langnau im Emmental"),
         QStringLiteral("BE"),
         1,
         'S'},
        {1,
         QStringLiteral("Roth Claudia"),
         QStringLiteral("Solothurnstrasse 6"),
         QStringLiteral("4500"),
         QStringLiteral("Solothurn"),
         QStringLiteral("SO"),
         2,
         'S'},
        {1,
         QStringLiteral("Schneider Adrian"),
         QStringLiteral("Bielstrasse 23"),
         QStringLiteral("2502"),
         QStringLiteral("Biel/Bienne"),
         QStringLiteral("BE"),
         1,
         'S'},
        {1,
         QStringLiteral("Hofer Verena"),
         QStringLiteral("Gartenweg 5"),
         QStringLiteral("3600"),
         QStringLiteral("Thun"),
         QStringLiteral("BE"),
         2,
         's'},
        {1,
         QStringLiteral("Studer Jonas"),
         QStringLiteral("Lindenweg 12"),
         QStringLiteral("3123"),
         QStringLiteral("Belp"),
         QStringLiteral("BE"),
         1,
         'S'},
        {2,
         QStringLiteral("Favre Jean-Luc"),
         QStringLiteral("Rue du Rhône 20"),
         QStringLiteral("1204"),
         QStringLiteral("Genève"),
         QStringLiteral("GE"),
         1,
         'S'},
        {2,
         QStringLiteral("Dubois Marie-Claire"),
         QStringLiteral("Avenue de France 7"),
         QStringLiteral("1202"),
         QStringLiteral("Genève"),
         QStringLiteral("GE"),
         2,
         'S'},
        {2,
         QStringLiteral("Rochat Daniel"),
         QStringLiteral("Chemin des Vignes 3"),
         QStringLiteral("1260"),
         QStringLiteral("Nyon"),
         QStringLiteral("VD"),
         1,
         'S'},
        {2,
         QStringLiteral("Perrin Sophie"),
         QStringLiteral("Rue de Lausanne 55"),
         QStringLiteral("1950"),
         QStringLiteral("Sion"),
         QStringLiteral("VS"),
         2,
         'S'},
        {2,
         QStringLiteral("Bianchi Marco"),
         QStringLiteral("Via Nassa 12"),
         QStringLiteral("6900"),
         QStringLiteral("Lugano"),
         QStringLiteral("TI"),
         1,
         'S'},
        {2,
         QStringLiteral("de la Fontaine Élise"),
         QStringLiteral("Quai du Mont-Blanc 1"),
         QStringLiteral("1201"),
         QStringLiteral("Genève"),
         QStringLiteral("GE"),
         2,
         'S'},
        {2,
         QStringLiteral("Mercier Luc"),
         QStringLiteral("Grand-Rue 8"),
         QStringLiteral("1400"),
         QStringLiteral("Yverdon-les-Bains"),
         QStringLiteral("VD"),
         1,
         'A'},
        {2,
         QStringLiteral("N'Diaye Awa"),
         QStringLiteral("Rue de Carouge 60"),
         QStringLiteral("1205"),
         QStringLiteral("Genève"),
         QStringLiteral("-"),
         2,
         'S'},
        {2,
         QStringLiteral("Girard Nicolas"),
         QStringLiteral("Route de Meyrin 120"),
         QStringLiteral("1217"),
         QStringLiteral("Meyrin"),
         QStringLiteral("GE"),
         1,
         'S'},
        {2,
         QStringLiteral("Pittet Chantal"),
         QStringLiteral("Rue Centrale 4"),
         QStringLiteral("1003"),
         QStringLiteral("Lausanne"),
         QStringLiteral("VD"),
         2,
         'S'},
        {2,
         QStringLiteral("Morand Yves"),
         QStringLiteral("Avenue de la Gare 10"),
         QStringLiteral("1920"),
         QStringLiteral("Martigny"),
         QStringLiteral("VS"),
         1,
         'S'},
        {2,
         QStringLiteral("Rey Isabelle"),
         QStringLiteral("Rue de Genève 2"),
         QStringLiteral("1225"),
         QStringLiteral("Chêne-Bourg"),
         QString(),
         2,
         'S'},
    };
    return list;
}

// The person with two certificates in the year (left in June, came back in September).
constexpr int kTwoRowPerson = 8;

// Rows with the mistakes a plausibility check finds but neither output stops at: item 8 off by 1000
// from the sum of items 1 to 7, a wrong check digit, lump-sum expenses without the remark that the
// expense regulations were approved.
constexpr int kWrongGrossRow = 0;
constexpr int kWrongCheckDigitRow = 1;
constexpr int kNoApprovalRow = 30;

QString ahvNumber(int index)
{
    const qint64 body = (qint64(index + 1) * 48271 * 97 + 123456789) % 1000000000;
    const QString digits = QStringLiteral("756") + QStringLiteral("%1").arg(body, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += digits[i].digitValue() * (i % 2 == 0 ? 1 : 3);
    const int checkDigit = (10 - sum % 10) % 10;
    const QString full = digits + QString::number(index == kWrongCheckDigitRow ? (checkDigit + 1) % 10 : checkDigit);
    return full.left(3) + u'.' + full.mid(3, 4) + u'.' + full.mid(7, 4) + u'.' + full.mid(11, 2);
}

QString dateText(const QDate& date, bool iso)
{
    return date.toString(iso ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("dd.MM.yyyy"));
}

qint64 rounded(double value)
{
    return qint64(std::llround(value));
}

struct Sqlite
{
    ~Sqlite() { sqlite3_close_v2(db); }
    sqlite3* db = nullptr;
};

struct Statement
{
    ~Statement() { sqlite3_finalize(statement); }
    sqlite3_stmt* statement = nullptr;
};

[[noreturn]] void fail(sqlite3* db)
{
    throw LaError(db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM,
                  QStringLiteral("SQLite"),
                  db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory"));
}

void exec(sqlite3* db, const QString& sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(db);
}

// Rolls back unless commit() ran, so that a failure leaves no half-written table behind.
class Transaction
{
public:
    explicit Transaction(sqlite3* db)
        : m_db(db)
    {
        exec(m_db, QStringLiteral("BEGIN"));
    }
    ~Transaction()
    {
        if (!m_committed)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    void commit()
    {
        exec(m_db, QStringLiteral("COMMIT"));
        m_committed = true;
    }

private:
    sqlite3* m_db;
    bool m_committed = false;
};

using Row = QHash<QString, QVariant>;

void insert(sqlite3* db, const QString& table, const QStringList& columns, const Row& row)
{
    Statement s;
    const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                            .arg(table,
                                 columns.join(QStringLiteral(", ")),
                                 QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &s.statement, nullptr) != SQLITE_OK)
        fail(db);
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant value = row.value(columns[i]);
        int rc;
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            rc = sqlite3_bind_int64(s.statement, i + 1, value.toLongLong());
        else {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(s.statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK)
            fail(db);
    }
    if (sqlite3_step(s.statement) != SQLITE_DONE)
        fail(db);
}

Row exportRow(int index, const Person& p, int part)
{
    const Company& c = companies()[p.company];
    const bool annuity = p.kind == 'A';
    const int i = index + 1;
    Row r;
    for (const QLatin1String field : Field::All)
        r.insert(field, field.startsWith(QLatin1String("EB")) ? QVariant(qint64(0)) : QVariant(QString()));

    r[Field::EFLDA] = annuity ? QString() : p.kind == 's' ? QStringLiteral("x") : QStringLiteral("X");
    r[Field::EFLDB] = annuity || p.kind == 'B' ? QStringLiteral("X") : QString();
    r[Field::EFLDC1] = i % 3 == 0 ? QStringLiteral("%1.%2.%3.%4")
                                        .arg(100 + i * 7 % 900)
                                        .arg(10 + i % 89)
                                        .arg(100 + i * 13 % 900)
                                        .arg(100 + i * 31 % 900)
                                  : QString();
    r[Field::EFLDC2] = ahvNumber(index);
    r[Field::EFLDD] = QStringLiteral("2025");
    QDate from(2025, 1, 1);
    QDate until(2025, 12, 31);
    if (index == kTwoRowPerson) {
        from = part == 0 ? QDate(2025, 1, 1) : QDate(2025, 9, 1);
        until = part == 0 ? QDate(2025, 6, 30) : QDate(2025, 12, 31);
    } else if (i % 10 == 7) {
        from = QDate(2025, 3, 1); // joined during the year
    }
    r[Field::EFLDE1] = dateText(from, c.isoDates);
    r[Field::EFLDE2] = dateText(until, c.isoDates);
    r[Field::EFLDF] = !annuity && i % 5 == 0 ? QStringLiteral("X") : QString();
    r[Field::EFLDG] = !annuity && i % 4 == 1 ? QStringLiteral("X") : QString();
    r[Field::EFLDH0] = i % 2 == 0 ? QStringLiteral("R") : QString();
    r[Field::EFLDH1] = p.name;
    r[Field::EFLDH2] = i == 14 ? QStringLiteral("c/o Brunner-Vogt") : QString();
    r[Field::EFLDH3] = p.street;
    r[Field::EFLDH4] = i == 26 ? QStringLiteral("Postfach 118") : QString();
    r[Field::EFLDH5] = p.zip;
    r[Field::EFLDH6] = p.town;
    r[Field::EFLDI1] = c.placeDate;
    r[Field::EFLDI2] = c.name;
    r[Field::EFLDI3] = c.street;
    r[Field::EFLDI4] = c.zipCity;
    r[Field::EFLDI5] = c.contact;
    r[Field::EFLDI6] = c.phone;
    const QDate born(annuity ? 1948 + i % 10 : 1962 + i * 7 % 40, i % 12 + 1, i % 28 + 1);
    r[Field::EGEBDT] = born.toString(QStringLiteral("dd.MM.yyyy"));

    qint64 income;
    if (annuity) {
        income = 24000 + i * 250;
    } else {
        income = (52000 + qint64(i) * 3917 % 60000) / 100 * 100;
        if (index == kTwoRowPerson)
            income = part == 0 ? 31200 : 22800;
    }
    const auto amount = [&](bool when, qint64 value) { return when && !annuity ? value : 0; };
    const auto text = [&](bool when, const char* value) {
        return when && !annuity ? QString::fromUtf8(value) : QString();
    };
    r[Field::EB0100] = income;
    r[Field::EB0210] = amount(i % 7 == 0, 4800);
    r[Field::EB0220] = amount(i % 5 == 0, 3600);
    r[Field::ET0230] = text(i % 9 == 0, "Parkplatz");
    r[Field::EB0230] = amount(i % 9 == 0, 1200);
    r[Field::ET0300] = text(i % 4 == 0, "Jubiläumsgeschenk");
    r[Field::EB0300] = amount(i % 4 == 0, 2500);
    r[Field::ET0400] = text(i == 10, "Abgangsentschädigung");
    r[Field::EB0400] = amount(i == 10, 15000);
    r[Field::EB0500] = amount(i == 16, 5000);
    r[Field::EB0600] = amount(i == 16, 12000);
    r[Field::ET0700] = text(i % 11 == 0, "Beitrag an Weiterbildung");
    r[Field::EB0700] = amount(i % 11 == 0, 800);
    qint64 gross = 0;
    for (const QLatin1String item : {Field::EB0100,
                                     Field::EB0210,
                                     Field::EB0220,
                                     Field::EB0230,
                                     Field::EB0300,
                                     Field::EB0400,
                                     Field::EB0500,
                                     Field::EB0600,
                                     Field::EB0700})
        gross += r[item].toLongLong();
    if (index == kWrongGrossRow)
        gross += 1000;
    r[Field::EB0800] = gross;
    const qint64 social = annuity ? 0 : rounded(double(gross) * 0.064);
    const qint64 pension = annuity ? 0 : rounded(double(income) * 0.05);
    const qint64 purchase = amount(i % 8 == 0, 5000);
    r[Field::EB0900] = social;
    r[Field::EB1010] = pension;
    r[Field::EB1020] = purchase;
    r[Field::EB1100] = gross - social - pension - purchase;
    r[Field::EB1200] =
        amount(p.company == 2 && p.name.startsWith(QLatin1String("Bianchi")), rounded(double(gross) * 0.1));
    r[Field::ET1311] = text(i % 3 == 0, "X");
    r[Field::EB1311] = amount(i % 6 == 3, 450);
    r[Field::ET1312] = text(i % 6 == 0, "Telefonkosten");
    r[Field::EB1312] = amount(i % 6 == 0, 600);
    r[Field::EB1321] = amount(i % 10 == 1, 3000);
    r[Field::EB1322] = amount(i % 10 == 2, 2400);
    r[Field::ET1323] = text(i % 13 == 0, "Pauschale Büro");
    r[Field::EB1323] = amount(i % 13 == 0, 1200);
    r[Field::EB1330] = amount(i % 12 == 0, 2000);
    r[Field::ET1410] = text(i % 5 == 0, "Halbtax-Abonnement");
    r[Field::ET1420] = text(i % 10 == 0, "SBB Geschäftsreisen");
    if (index == kTwoRowPerson) {
        r[Field::ET1510] =
            part == 0 ? QStringLiteral("Austritt 30.06.2025") : QStringLiteral("Wiedereintritt 01.09.2025");
        r[Field::ET1520] = QStringLiteral("Teilzeit 60%");
    } else if (annuity) {
        r[Field::ET1510] = QStringLiteral("Rente aus Pensionskasse");
    }
    const bool lumpSum =
        r[Field::EB1321].toLongLong() + r[Field::EB1322].toLongLong() + r[Field::EB1323].toLongLong() > 0;
    if (lumpSum && index != kNoApprovalRow)
        r[Field::ET1520] = QStringLiteral("Spesenreglement durch Kanton %1 am 15.03.2024 genehmigt")
                               .arg(c.zipCity.startsWith(u'8')   ? QStringLiteral("ZH")
                                    : c.zipCity.startsWith(u'3') ? QStringLiteral("BE")
                                                                 : QStringLiteral("GE"));
    return r;
}

void writeTables(sqlite3* db)
{
    QStringList exportColumns;
    QStringList exportDefinitions;
    for (const QLatin1String field : Field::All) {
        exportColumns.append(field);
        exportDefinitions.append(QString(field) + (field.startsWith(QLatin1String("EB")) ? QStringLiteral(" INTEGER")
                                                                                         : QStringLiteral(" TEXT")));
    }
    exec(db, QStringLiteral("CREATE TABLE LGHLAEXP (%1)").arg(exportDefinitions.join(QStringLiteral(", "))));
    exec(db, QStringLiteral("CREATE TABLE LGHLAZ (LHREC TEXT, LHJAHR INTEGER, LHFIN1 TEXT, LHFINR INTEGER)"));
    exec(db, QStringLiteral("CREATE TABLE LGHPS (PNAME TEXT, PSTR TEXT, PORT TEXT, PKTON TEXT, PSEXCD INTEGER)"));

    const QList<Person>& list = people();
    for (int index = 0; index < list.size(); ++index) {
        for (int part = 0; part < (index == kTwoRowPerson ? 2 : 1); ++part)
            insert(db, QStringLiteral("LGHLAEXP"), exportColumns, exportRow(index, list[index], part));
        const Person& p = list[index];
        if (p.canton != QLatin1String("-"))
            insert(db,
                   QStringLiteral("LGHPS"),
                   {QStringLiteral("PNAME"),
                    QStringLiteral("PSTR"),
                    QStringLiteral("PORT"),
                    QStringLiteral("PKTON"),
                    QStringLiteral("PSEXCD")},
                   {{QStringLiteral("PNAME"), p.name},
                    {QStringLiteral("PSTR"), p.street},
                    {QStringLiteral("PORT"), p.town},
                    {QStringLiteral("PKTON"), p.canton},
                    {QStringLiteral("PSEXCD"), qint64(p.sex)}});
    }
    const QStringList yearColumns{
        QStringLiteral("LHREC"), QStringLiteral("LHJAHR"), QStringLiteral("LHFIN1"), QStringLiteral("LHFINR")};
    for (const Company& c : companies()) {
        insert(db,
               QStringLiteral("LGHLAZ"),
               yearColumns,
               {{QStringLiteral("LHREC"), QStringLiteral("LH")},
                {QStringLiteral("LHJAHR"), qint64(2025)},
                {QStringLiteral("LHFIN1"), c.name},
                {QStringLiteral("LHFINR"), qint64(c.number)}});
        // Rows of another kind and of the year before, which a run must pass over.
        insert(db,
               QStringLiteral("LGHLAZ"),
               yearColumns,
               {{QStringLiteral("LHREC"), QStringLiteral("LH")},
                {QStringLiteral("LHJAHR"), qint64(2024)},
                {QStringLiteral("LHFIN1"), c.name},
                {QStringLiteral("LHFINR"), qint64(c.number + 1)}});
    }
    insert(db,
           QStringLiteral("LGHLAZ"),
           yearColumns,
           {{QStringLiteral("LHREC"), QStringLiteral("LA")},
            {QStringLiteral("LHJAHR"), qint64(2025)},
            {QStringLiteral("LHFIN1"), companies()[0].name},
            {QStringLiteral("LHFINR"), qint64(999)}});
}

} // namespace

void writeDemoDatabase(const QString& path)
{
    try {
        const QFileInfo target(path);
        if (target.exists() && !target.isFile())
            throw LaError::runtime(ErrNo::PathFileAccess,
                                   QStringLiteral("'%1' ist keine Datei und kann nicht ersetzt werden.").arg(path));
        if (!target.absoluteDir().exists())
            throw LaError::runtime(ErrNo::PathNotFound,
                                   QStringLiteral("Das Verzeichnis '%1' existiert nicht.").arg(target.absolutePath()));
        // Written beside the target and renamed over it at the end: an existing file is replaced
        // only by a complete database.
        const QString temporary = target.absoluteFilePath() + QStringLiteral(".tmp");
        QFile::remove(temporary);
        {
            Sqlite sqlite;
            if (sqlite3_open_v2(QFile::encodeName(temporary).constData(),
                                &sqlite.db,
                                SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                nullptr) != SQLITE_OK)
                fail(sqlite.db);
            try {
                Transaction transaction(sqlite.db);
                writeTables(sqlite.db);
                transaction.commit();
            } catch (...) {
                sqlite3_close_v2(sqlite.db);
                sqlite.db = nullptr;
                QFile::remove(temporary);
                throw;
            }
        }
        if (std::rename(QFile::encodeName(temporary).constData(),
                        QFile::encodeName(target.absoluteFilePath()).constData()) != 0) {
            QFile::remove(temporary);
            throw LaError::runtime(ErrNo::PathFileAccess,
                                   QStringLiteral("Die Datei '%1' kann nicht geschrieben werden.").arg(path));
        }
    } catch (...) {
        raiseError(QStringLiteral("DemoDatabase.writeDemoDatabase"));
    }
}
