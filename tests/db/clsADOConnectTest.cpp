#include "db/clsADOConnect.h"

#include "db/ConnectionString.h"
#include "platform/LaError.h"
#include "support/RecordingPrompt.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(clsADOConnect, UnusableSourceShowsOneBoxAndFails)
{
    QTemporaryDir dir;
    QFile text(dir.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("SQLite format 2 but not really\n");
    text.close();
    const QString host = QStringLiteral("Provider=IBMDA400;Data Source=");
    // A host name (no file) goes to the host's ODBC driver, an ODBC string to the driver manager
    // unchanged; neither exists here, and the driver manager's diagnostics must reach the box.
    const std::pair<QString, QString> cases[] = {
        {host + dir.filePath(QStringLiteral("x.sqlite")) + u';', {}},
        {host + dir.filePath(QStringLiteral("notes.txt")) + u';', {}},
        {host + dir.path() + u';', {}},
        {QString(), {}},
        {QStringLiteral("Provider=SQLOLEDB;Data Source=x;"), {}},
        {host + QStringLiteral("SYS1;"), QStringLiteral("IBM i Access ODBC Driver")},
        {QStringLiteral("PROVIDER=MSDASQL;dsn=NOSUCHDSN;uid=;pwd=;database= ;"),
         QStringLiteral("Data source name not found")},
    };
    for (const auto& [source, message] : cases) {
        RecordingPrompt p;
        ScopedPrompt installed(p);
        clsADOConnect reader;
        reader.setSource(source);
        reader.setLibl(QStringLiteral("LIB1"));
        EXPECT_FALSE(reader.init(QStringLiteral("LGHLAEXP"))) << qPrintable(source);
        ASSERT_EQ(p.boxes.size(), 1) << qPrintable(source);
        EXPECT_EQ(p.boxes[0].title, errorBoxTitle(QStringLiteral("clsADOConnect.init")));
        EXPECT_TRUE(p.boxes[0].text.contains(message)) << qPrintable(p.boxes[0].text);
        try {
            reader.MoveNext();
            ADD_FAILURE() << "MoveNext without a result";
        } catch (const LaError& e) {
            EXPECT_EQ(e.number(), ErrNo::ObjectNotSet);
            EXPECT_EQ(e.source(), QStringLiteral("clsADOConnect.MoveNext"));
        }
    }
}

TEST(getADOProvider, ConnectionStringsPerTransferType)
{
    RecordingPrompt p;
    ScopedPrompt installed(p);
    EXPECT_EQ(getADOProvider(1, QStringLiteral("SYS1")), QStringLiteral("Provider=IBMDA400;Data Source=SYS1;"));
    EXPECT_EQ(p.loginCount, 0);
    EXPECT_EQ(getADOProvider(0, QStringLiteral("DSN1")),
              QStringLiteral("PROVIDER=MSDASQL;dsn=DSN1;uid=;pwd=;database= ;"));
    p.loginUser = QStringLiteral("hans");
    p.loginPassword = QStringLiteral("geheim");
    EXPECT_EQ(getADOProvider(0, QStringLiteral("DSN1")),
              QStringLiteral("PROVIDER=MSDASQL;dsn=DSN1;uid=hans;pwd=geheim;database= ;"));
    EXPECT_EQ(p.loginCount, 2); // asked on every call
    EXPECT_EQ(getADOProvider(-1, QStringLiteral("SYS1")), QString());
}
