#include "db/DbConnection.h"
#include "platform/LaError.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct MissingDriverCase
{
    const char* name;
    const char* connectionString;
    const char* messagePart;
};

class OdbcMissingDriver : public ::testing::TestWithParam<MissingDriverCase>
{
};

// A host name (no file) goes to the host's ODBC driver, an ODBC string to the driver manager
// unchanged; neither exists here, and the driver manager's diagnostics must come through.
TEST_P(OdbcMissingDriver, DriverManagerDiagnosticsBecomeTheError)
{
    try {
        openDbConnection(QString::fromUtf8(GetParam().connectionString));
        FAIL() << "connected without a driver";
    } catch (const LaError& e) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^ODBC [0-9A-Z]{5}$")).match(e.source()).hasMatch())
            << qPrintable(e.source());
        EXPECT_EQ(e.number(), -1); // the driver manager gives no native number
        EXPECT_TRUE(e.description().contains(QString::fromUtf8(GetParam().messagePart))) << qPrintable(e.description());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Strings,
    OdbcMissingDriver,
    ::testing::Values(MissingDriverCase{"HostName", "Provider=IBMDA400;Data Source=SYS1;", "IBM i Access ODBC Driver"},
                      MissingDriverCase{"UnknownDsn",
                                        "PROVIDER=MSDASQL;dsn=NOSUCHDSN;uid=;pwd=;database= ;",
                                        "Data source name not found"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
