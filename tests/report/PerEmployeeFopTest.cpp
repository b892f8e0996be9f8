// Runs that write one PDF per employee, with the real formatter: the company document is rendered
// once and split; each file is read back with poppler's tools and qpdf.

#include "platform/clsRegistryHandler.h"
#include "support/RealFopFixture.h"

#include <QDirIterator>

namespace {

// Every file below `folder`, as paths relative to it, sorted.
QStringList filesBelow(const QString& folder)
{
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
         it.hasNext();)
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

ToolResult textOf(const QString& pdf, const QString& password)
{
    QStringList arguments{pdf, QStringLiteral("-")};
    if (!password.isEmpty())
        arguments = QStringList{QStringLiteral("-upw"), password} + arguments;
    return runTool(QStringLiteral("pdftotext"), arguments);
}

ExportRowValues person(const QString& company, int index, const char* name, const char* ahv, QDate born, int income)
{
    ExportRowValues row = employeeRow(company, index);
    row[Field::EFLDH1] = Variant::text(QString::fromUtf8(name));
    row[Field::EFLDC2] = Variant::text(QString::fromLatin1(ahv));
    row[Field::EGEBDT] = born.isValid() ? Variant::date(born) : Variant::null();
    row[Field::EB0100] = Variant::integer(income);
    return row;
}

} // namespace

// Date-of-birth passwords: each file opens with its employee's date only (AES-256, revision 6) and holds
// that employee's certificate alone; the company's ":" and "/" and a name that climbs with "../" give
// safe names inside the output folder, a second certificate of one person gets "_2", and a certificate
// without a date of birth is refused with a box naming the employee while the others are written.
TEST_F(RealFop, FilesPerEmployeeOpenWithTheirOwnDateOfBirthOnly)
{
    const QString company = QStringLiteral("Wälti: Weine/Söhne");
    const QDate anna(1980, 3, 7);
    const QDate climber(1990, 12, 24);
    const QList<ExportRowValues> rows = {
        person(company, 0, "Anna Zürcher", "756.1111.1111.13", anna, 85432),
        person(company, 1, "Anna Zürcher", "756.1111.1111.13", anna, 61207),
        person(company, 2, "../../Boris", "756.2222.2222.26", climber, 70001),
        person(company, 3, "Bruno Keller", "756.3333.3333.39", QDate(), 50003),
    };
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    const QString out = dir.filePath(QStringLiteral("out"));
    boxesExpected = true;
    const QString log = runProgram(rows, out + QStringLiteral("/LA.pdf"), {}, [](FakeMainWindow& w) {
        w.perEmployee = true;
        w.passwordChecked = true;
        w.employeeKind = EmployeePasswordKind::Birthdate;
    });

    const QString folder = QStringLiteral("Wälti_ Weine_Söhne/");
    const QString annaFile = folder + QStringLiteral("Anna Zürcher_756.1111.1111.13.pdf");
    const QString annaSecond = folder + QStringLiteral("Anna Zürcher_756.1111.1111.13_2.pdf");
    const QString climberFile = folder + QStringLiteral("_._.._Boris_756.2222.2222.26.pdf");
    ASSERT_EQ(filesBelow(out), (QStringList{annaFile, annaSecond, climberFile})) << log.toStdString();
    ASSERT_EQ(boxTexts.size(), 1);
    EXPECT_TRUE(boxTexts[0].contains(QStringLiteral("Bruno Keller")) && boxTexts[0].contains(QStringLiteral("EGEBDT")))
        << boxTexts[0].toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("07031980")) || log.contains(QStringLiteral("24121990")));

    const struct
    {
        QString file;
        QString password;
        QString other; // the other employee's password
        QString name;
    } files[] = {{annaFile, QStringLiteral("07031980"), QStringLiteral("24121990"), QStringLiteral("Anna Zürcher")},
                 {annaSecond, QStringLiteral("07031980"), QStringLiteral("24121990"), QStringLiteral("Anna Zürcher")},
                 {climberFile, QStringLiteral("24121990"), QStringLiteral("07031980"), QStringLiteral("../../Boris")}};
    QStringList incomes;
    for (const auto& f : files) {
        SCOPED_TRACE(f.file.toStdString());
        const QString pdf = out + u'/' + f.file;
        EXPECT_EQ(QFileInfo(pdf).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), 0);
        EXPECT_NE(textOf(pdf, {}).exitCode, 0);
        EXPECT_NE(textOf(pdf, f.other).exitCode, 0);
        const ToolResult text = textOf(pdf, f.password);
        ASSERT_EQ(text.exitCode, 0) << text.output.toStdString();
        EXPECT_EQ(text.output.count(f.name), 1) << text.output.toStdString();
        for (const char* stranger : {"Bruno Keller", "Boris", "Anna"}) {
            if (!f.name.contains(QString::fromLatin1(stranger))) {
                EXPECT_FALSE(text.output.contains(QString::fromLatin1(stranger))) << stranger;
            }
        }
        for (const char* income : {"85'432", "61'207", "70'001"})
            if (text.output.contains(QString::fromLatin1(income)))
                incomes << QString::fromLatin1(income);
        const QString encryption =
            runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-encryption"), "--password=" + f.password, pdf})
                .output;
        EXPECT_TRUE(encryption.contains(QStringLiteral("R = 6\n"))) << encryption.toStdString();
        const QString info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-upw"), f.password, pdf}).output;
        EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n")))) << info.toStdString();
    }
    incomes.sort();
    // Each certificate in exactly one file.
    EXPECT_EQ(incomes, (QStringList{"61'207", "70'001", "85'432"}));
}

// Without a password the files per employee stay archive PDFs: PDF/A-2b with the document's metadata,
// tagged, sound for qpdf, each with an outline of its company and its one certificate; the setting
// EmployeeFileName names them, with folders of its own.
TEST_F(RealFop, UnprotectedFilesPerEmployeeStayArchivePdfsNamedByThePattern)
{
    const QString company = QStringLiteral("Gerber Holz AG");
    const QList<ExportRowValues> rows = {employeeRow(company, 0), employeeRow(company, 1), employeeRow(company, 2)};
    QDir(dir.path()).mkpath(QStringLiteral("out"));
    const QString out = dir.filePath(QStringLiteral("out"));
    runProgram(rows, out + QStringLiteral("/LA.pdf"), {}, [](FakeMainWindow& w) {
        w.perEmployee = true;
        w.employeeKind = EmployeePasswordKind::Birthdate; // without "Datei schützen" no password
        clsRegistryHandler().SaveSettingString(QString::fromLatin1(SettingName::EmployeeFileName),
                                               QStringLiteral("{Jahr}/{Firma}/{Lauf} {Name}"));
    });

    QStringList expected;
    for (int i = 0; i < 3; ++i)
        expected << QStringLiteral("2024/Gerber Holz AG/%1 Person %2.pdf").arg(i + 1).arg(i, 5, 10, QLatin1Char('0'));
    ASSERT_EQ(filesBelow(out), expected);
    for (int i = 0; i < 3; ++i) {
        const QString pdf = out + u'/' + expected[i];
        SCOPED_TRACE(pdf.toStdString());
        expectArchivePdf(pdf);
        const ToolResult check = runTool(QStringLiteral("qpdf"), {QStringLiteral("--check"), pdf});
        EXPECT_EQ(check.exitCode, 0) << check.output.toStdString();
        const QString number = QStringLiteral("100.00.%1").arg(i, 5, 10, QLatin1Char('0'));
        EXPECT_EQ(outline(pdf),
                  (QStringList{company + QStringLiteral(" -> 1"),
                               QStringLiteral("  Person %1, ").arg(i, 5, 10, QLatin1Char('0')) + number +
                                   QStringLiteral(" -> 1")}));
        const QString text = textOf(pdf, {}).output;
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(text.contains(QStringLiteral("Person %1").arg(other, 5, 10, QLatin1Char('0'))), other == i);
    }
}
