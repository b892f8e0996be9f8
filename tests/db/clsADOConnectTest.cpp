#include "db/clsADOConnect.h"

#include "db/DbConnection.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"
#include "support/TestFiles.h"

#include <QTemporaryDir>

TEST(clsADOConnect, UnusableSourceOrLibraryShowsOneBoxAndFails)
{
    QTemporaryDir dir;
    writeBytes(dir.filePath(QStringLiteral("notes.txt")), "SQLite format 2 but not really\n");
    SqliteTestDatabase db;
    PayrollTables::createExportTable(db);
    const QString host = QStringLiteral("Provider=IBMDA400;Data Source=");
    const QString lib = QStringLiteral("LIB1");
    // A host name (no file) goes to the host's ODBC driver, an ODBC string to the driver manager
    // unchanged; neither exists here, and the driver manager's diagnostics must reach the box. A null
    // message: the reader opens.
    const struct
    {
        QString source;
        QString library;
        QString message;
    } cases[] = {
        {host + dir.filePath(QStringLiteral("x.sqlite")) + u';', lib, QStringLiteral("")},
        {host + dir.filePath(QStringLiteral("notes.txt")) + u';', lib, QStringLiteral("")},
        {host + dir.path() + u';', lib, QStringLiteral("")},
        {QString(), lib, QStringLiteral("")},
        {QStringLiteral("Provider=SQLOLEDB;Data Source=x;"), lib, QStringLiteral("")},
        {host + QStringLiteral("SYS1;"), lib, QStringLiteral("IBM i Access ODBC Driver")},
        {QStringLiteral("PROVIDER=MSDASQL;dsn=NOSUCHDSN;uid=;pwd=;database= ;"),
         lib,
         QStringLiteral("Data source name not found")},
        // The longest plain library name, and one character more.
        {db.connectionString(), QString(128, u'L'), QString()},
        {db.connectionString(), QString(129, u'L'), QStringLiteral("kein gültiger Name")},
    };
    for (const auto& c : cases) {
        RecordingPrompt p;
        ScopedPrompt installed(p);
        clsADOConnect reader;
        reader.setSource(c.source);
        reader.setLibl(c.library);
        EXPECT_EQ(reader.init(QStringLiteral("LGHLAEXP")), c.message.isNull()) << qPrintable(c.source);
        if (c.message.isNull()) {
            EXPECT_TRUE(p.boxes.isEmpty()) << qPrintable(p.boxes.value(0).text);
            continue;
        }
        ASSERT_EQ(p.boxes.size(), 1) << qPrintable(c.source);
        EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("x.sqlite")))); // no empty database made
        EXPECT_EQ(p.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_TRUE(p.boxes[0].text.contains(c.message)) << qPrintable(p.boxes[0].text);
        // A connection that fails says so in German first, naming the data source; the driver's text follows.
        EXPECT_EQ(p.boxes[0].text.startsWith(QStringLiteral("Verbindung zur Datenquelle '%1' nicht möglich.\r\n\r\n"
                                                            "Fehlernummer")
                                                 .arg(dataSourceName(c.source))),
                  c.library == lib)
            << qPrintable(p.boxes[0].text);
        const LaError e = raisedBy([&] { reader.MoveNext(); });
        EXPECT_EQ(e.number(), ErrNo::ObjectNotSet);
        EXPECT_EQ(e.source(), QStringLiteral("clsADOConnect.MoveNext"));
    }
}
