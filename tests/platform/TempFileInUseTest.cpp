#include "platform/TempFileInUse.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace {

const QByteArray kDocument =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?><soapenv:Envelope><ct:SalaryDeclaration>";

void writeAged(const QString& path, const QByteArray& content, int ageSeconds)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.flush();
    file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime);
}

} // namespace

TEST(TempFileInUse, OnlyOurOwnUnusedOldSalaryDocumentsAreRemoved)
{
    QTemporaryDir dir;
    QTemporaryDir elsewhere;
    struct Case
    {
        const char* name;
        QByteArray content;
        int age;
        bool removed;
    };
    const Case cases[] = {
        {"tmpAb12Cd.tmp", kDocument, 120, true},
        {"tmpInUse1.tmp", kDocument, 120, false}, // a run still going on holds it
        {"tmpYoung1.tmp", kDocument, 5, false},   // its run may not have marked it yet
        {"tmpOther1.tmp", "data of another program", 120, false},
        {"tmpEmpty1.tmp", {}, 120, false},
        {"tmpShort.tmp", kDocument, 120, false}, // not the run's name pattern
        {"LOVARSLog.txt", kDocument, 120, false},
        {"tmpForeig.tmp", kDocument, 120, false}, // another user's (made so when we may)
        // What the formatter writes into: nothing yet, or a PDF.
        {"pdfAb12Cd.tmp", "%PDF-1.4\n", 120, true},
        {"pdfEmpty1.tmp", {}, 120, true},
        {"pdfOther1.tmp", "data of another program", 120, false},
    };
    for (const Case& c : cases)
        writeAged(dir.filePath(QString::fromLatin1(c.name)), c.content, c.age);
    const TempFileInUse inUse(dir.filePath(QStringLiteral("tmpInUse1.tmp")));
    const bool foreign =
        ::geteuid() == 0 &&
        ::chown(QFile::encodeName(dir.filePath(QStringLiteral("tmpForeig.tmp"))).constData(), 4242, 4242) == 0;
    // A link under the run's name leads elsewhere; neither it nor its target go.
    writeAged(elsewhere.filePath(QStringLiteral("target.xml")), kDocument, 120);
    ASSERT_TRUE(
        QFile::link(elsewhere.filePath(QStringLiteral("target.xml")), dir.filePath(QStringLiteral("tmpLink01.tmp"))));

    // Without the right to give the file away it stays ours, and goes.
    EXPECT_EQ(TempFileInUse::removeStale(dir.path()), foreign ? 3 : 4);
    for (const Case& c : cases) {
        const bool removed = c.removed || (QByteArray(c.name) == "tmpForeig.tmp" && !foreign);
        EXPECT_EQ(QFile::exists(dir.filePath(QString::fromLatin1(c.name))), !removed) << c.name;
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("tmpLink01.tmp"))).isSymLink());
    EXPECT_TRUE(QFile::exists(elsewhere.filePath(QStringLiteral("target.xml"))));
}
