#include "db/ConnectionString.h"
#include "db/DbRecordSet.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/MemoryDb.h"
#include "support/RecordingPrompt.h"

#include <gtest/gtest.h>

TEST(clsADOConnectStatement, PiecesInTheirOrder)
{
    EXPECT_EQ(clsADOConnect::buildStatement(
                  QStringLiteral("LIB1"), QStringLiteral("LGHLAEXP"), {}, {}, QStringLiteral("EFLDI2, EFLDH1")),
              QStringLiteral("SELECT * FROM LIB1.LGHLAEXP ORDER BY EFLDI2, EFLDH1"));
    EXPECT_EQ(clsADOConnect::buildStatement(QStringLiteral("L"),
                                            QStringLiteral("T"),
                                            QStringLiteral("A, B"),
                                            QStringLiteral("X=1"),
                                            QStringLiteral("A")),
              QStringLiteral("SELECT A, B FROM L.T WHERE X=1 ORDER BY A"));
    EXPECT_EQ(clsADOConnect::buildStatement(QStringLiteral("L"), QStringLiteral("T"), {}, {}, {}),
              QStringLiteral("SELECT * FROM L.T"));
}

TEST(clsADOConnectShared, BorrowedConnectionRunsTheQueryAndBadLibraryIsRefused)
{
    RecordingPrompt p;
    ScopedPrompt installed(p);
    auto connection = std::make_shared<MemoryConnection>();
    connection->tables.insert(QStringLiteral("LGHPS"),
                              {{QStringLiteral("PKTON")}, {{Variant()}, {Variant::text("ZH")}}});
    {
        clsADOConnect reader;
        reader.setSource(QStringLiteral("Provider=IBMDA400;Data Source=nowhere;"));
        reader.setLibl(QStringLiteral("LIB1"));
        reader.setConnection(connection);
        ASSERT_TRUE(reader.init(QStringLiteral("LGHPS")));
        EXPECT_EQ(reader.getValue(), QString()); // Null reads as the empty text
        reader.MoveNext();
        EXPECT_EQ(reader.getValue(), QStringLiteral("ZH"));
        reader.MoveLast();
        reader.MoveNext();
        EXPECT_TRUE(reader.isEOF());
        reader.MoveLast(); // at the end: stays there, no error
        EXPECT_TRUE(reader.isEOF());

        clsADOConnect bad;
        bad.setLibl(QStringLiteral("LIB1; DROP TABLE X"));
        bad.setConnection(connection);
        EXPECT_FALSE(bad.init(QStringLiteral("LGHPS")));
    }
    EXPECT_EQ(connection->statements, QStringList{QStringLiteral("SELECT * FROM LIB1.LGHPS")});
    EXPECT_TRUE(connection->isOpen()); // readers with a library never close the shared connection
    ASSERT_EQ(p.boxes.size(), 1);
    EXPECT_EQ(p.boxes[0].title, QStringLiteral("LOVAR/400 Rariz Neuer Lohnausweis (1.9) : clsADOConnect.init"));
}

TEST(clsADOConnectShared, OperationsWithoutAQueryRaiseWithTheirLocation)
{
    clsADOConnect reader;
    try {
        reader.MoveNext();
        FAIL();
    } catch (const LaError& e) {
        EXPECT_EQ(e.number(), 91);
        EXPECT_EQ(e.source(), QStringLiteral("clsADOConnect.MoveNext"));
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
