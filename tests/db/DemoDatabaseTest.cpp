#include "db/DemoDatabase.h"

#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "support/RecordingPrompt.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class DemoDatabase : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeDemoDatabase(path);
    }

    std::unique_ptr<clsADOConnect> open(const QString& table, const QString& sort = {})
    {
        auto r = std::make_unique<clsADOConnect>();
        r->setSource(QStringLiteral("Provider=IBMDA400;Data Source=") + path + u';');
        r->setLibl(QStringLiteral("DEMO"));
        if (!r->init(table, {}, {}, sort))
            return nullptr;
        return r;
    }

    RecordingPrompt prompt;
    ScopedPrompt installed{prompt};
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("demo.sqlite"));
};

TEST_F(DemoDatabase, ReplacesAFileButNoFolderAndRaisesWithLocation)
{
    QFile junk(path);
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly | QIODevice::Truncate));
    junk.write("not a database");
    junk.close();
    writeDemoDatabase(path);
    const auto again = open(QStringLiteral("LGHLAEXP"));
    ASSERT_TRUE(again);
    EXPECT_FALSE(again->isEOF());
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));

    try {
        writeDemoDatabase(dir.filePath(QStringLiteral("missing/demo.sqlite")));
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const LaError& e) {
        EXPECT_EQ(e.number(), ErrNo::PathNotFound);
        EXPECT_EQ(e.source(), QStringLiteral("DemoDatabase.writeDemoDatabase"));
    }
    EXPECT_THROW(writeDemoDatabase(dir.path()), LaError);
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

} // namespace
