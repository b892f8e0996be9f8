#pragma once

// Fixture of the eLohnausweis export tests (tests/report/CsvExportTest.cpp).

#include "app/Globals.h"
#include "db/ExportRow.h"
#include "platform/LaError.h"
#include "report/crtCSVData.h"
#include "support/CsvPayroll.h"
#include "support/FakeMainWindow.h"
#include "support/MariaDbServer.h"
#include "support/PayrollTables.h"
#include "support/RecordingPrompt.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

class CsvExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        window.toFile = dir.filePath(QStringLiteral("lohnausweis.csv"));
        gFrmMain = &window;
    }
    void TearDown() override { gFrmMain = nullptr; }

    // A fresh SQLite payroll with the rows of the expected file, changed by `statement`.
    void useChangedPayroll(const QString& statement)
    {
        sqlite = std::make_unique<SqliteTestDatabase>();
        fillPayroll(*sqlite);
        for (const QString& s : statement.split(u'\n'))
            sqlite->exec(s);
        window.medium = 1;
        window.srcFile = sqlite->path();
        window.lib = sqlite->library();
    }

    // Runs the export over an older file of that name; the error it ends with, if any.
    std::optional<LaError> run()
    {
        QFile old(window.toFile);
        EXPECT_TRUE(old.open(QIODevice::WriteOnly) && old.write("alte Daten") == 10);
        old.close();
        try {
            crtCSVData();
            return std::nullopt;
        } catch (const LaError& e) {
            return e;
        }
    }

    QByteArray output() const
    {
        EXPECT_TRUE(QFile::exists(window.toFile));
        return readFile(window.toFile);
    }

    QTemporaryDir dir;
    std::unique_ptr<SqliteTestDatabase> sqlite;
    FakeMainWindow window;
    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
};

// The same rows through each back end: the host's types (padded CHAR, DECIMAL, DATE) on MariaDB over
// ODBC, the embedded file with the OLE DB form of the connection string.
class CsvExportBackEnd : public CsvExportTest, public ::testing::WithParamInterface<TestDatabaseKind>
{
};
