#include "platform/LaError.h"
#include "platform/Variant.h"
#include "report/EmployeeFileNames.h"
#include "report/EmployeePassword.h"
#include "report/RunSummary.h"

#include <QDate>
#include <QDir>
#include <gtest/gtest.h>

namespace {

EmployeeFileFields person(const QString& company, const QString& name, const QString& number = {})
{
    return {company, name, number, QStringLiteral("2024"), 7};
}

// Every name of the path is one a file system takes, and the path stays below the output folder.
void expectSafeInside(const QString& path)
{
    const QString base = QStringLiteral("/daten/ausgabe");
    EXPECT_TRUE(QDir::cleanPath(base + u'/' + path).startsWith(base + u'/')) << path.toStdString();
    const QStringList names = path.split(u'/');
    for (const QString& name : names) {
        EXPECT_FALSE(name.isEmpty() || name == u'.' || name == QLatin1String("..")) << path.toStdString();
        EXPECT_LE(name.toUtf8().size(), 255) << path.toStdString();
        for (const char32_t c : name.toUcs4())
            EXPECT_TRUE(QChar::isPrint(c) && !(c < 0x80 && QByteArrayView("\\:*?\"<>|").contains(char(c))))
                << path.toStdString();
    }
    // Room for the hidden name the file has beside it while it is written.
    EXPECT_LE(names.back().toUtf8().size() + 8, 255) << path.toStdString();
    EXPECT_TRUE(path.endsWith(QLatin1String(".pdf")));
}

} // namespace

TEST(EmployeeFileNames, PatternsGiveSafeNamesInsideTheOutputFolder)
{
    const QString longName = QStringLiteral("Ä").repeated(300);
    const struct
    {
        const char* pattern;
        EmployeeFileFields fields;
        QString expected; // empty: only safe and inside
    } rows[] = {
        {"",
         person("Alpenblick AG", "Meier Hans", "756.1281.3907.69"),
         "Alpenblick AG/Meier Hans_756.1281.3907.69.pdf"},
        {"{Jahr}/{Firma}-{Lauf}", person("Alpenblick AG", "Meier Hans"), "2024/Alpenblick AG-7.pdf"},
        {"{Name}.PDF", person("A", "Meier Hans"), "Meier Hans.pdf"},
        {"", person("../..", "../../etc/passwd", "1"), "_._._/_._.._etc_passwd_1.pdf"},
        {"", person("..", "C:\\Temp <x>|*?\"", "1"), "__/C__Temp _x______1.pdf"},
        {"../{Name}", person("A", "Meier\nHans\u202e"), "__/Meier_Hans_.pdf"},
        {"/{Firma}//{Name}", person("A", " "), "A/_.pdf"},
        {"", person(longName, longName, "756.1281.3907.69"), {}},
        {"{Name}{Name}", person("A", QStringLiteral("😀").repeated(200)), {}},
    };
    for (const auto& row : rows) {
        EmployeeFileNames names{QString::fromUtf8(row.pattern)};
        const QString path = names.next(row.fields);
        if (!row.expected.isEmpty()) {
            EXPECT_EQ(path, row.expected) << row.pattern;
        }
        expectSafeInside(path);
        // A character is never cut in half.
        EXPECT_FALSE(path.contains(QChar::ReplacementCharacter) || QString::fromUtf8(path.toUtf8()) != path);
    }
    EXPECT_THROW(EmployeeFileNames(QStringLiteral("{Vorname}.pdf")), LaError);
}

TEST(EmployeeFileNames, CollisionsAreNumberedAlsoAcrossCaseAndCutNames)
{
    EmployeeFileNames names{QString()};
    const QString longName = QStringLiteral("x").repeated(300);
    const EmployeeFileFields fields[] = {person("A", "Gerber Sandra", "1"),
                                         person("A", "Gerber Sandra", "1"),
                                         person("A", "GERBER SANDRA", "1"),
                                         person("B", "Gerber Sandra", "1"),
                                         person("A", longName + u'1', "1"),
                                         person("A", longName + u'2', "1")};
    QStringList paths;
    for (const EmployeeFileFields& f : fields)
        paths << names.next(f);
    EXPECT_EQ(
        paths.mid(0, 4),
        (QStringList{
            "A/Gerber Sandra_1.pdf", "A/Gerber Sandra_1_2.pdf", "A/GERBER SANDRA_1_3.pdf", "B/Gerber Sandra_1.pdf"}));
    // Two names that differ only beyond the cut must not end up as one file.
    EXPECT_NE(paths[4], paths[5]);
    EXPECT_TRUE(paths[5].endsWith(QLatin1String("_2.pdf"))) << paths[5].toStdString();
    expectSafeInside(paths[5]);
}

TEST(EmployeePassword, ComesFromTheEmployeeOrRefusesTheFileNamingThem)
{
    const QString who = QStringLiteral("'Meier Hans' (756.1281.3907.69)");
    const struct
    {
        EmployeePasswordKind kind;
        Variant birthDate;
        Variant ahv;
        const char* password;
        const char* refusalNames; // empty: no refusal
    } rows[] = {
        {EmployeePasswordKind::Birthdate, Variant::date(QDate(1980, 3, 7)), {}, "07031980", ""},
        {EmployeePasswordKind::Birthdate, Variant::text(QStringLiteral("07.03.1980")), {}, "07031980", ""},
        {EmployeePasswordKind::Birthdate, Variant::null(), {}, "", "EGEBDT"},
        {EmployeePasswordKind::Birthdate, Variant::text(QStringLiteral("unbekannt")), {}, "", "EGEBDT"},
        {EmployeePasswordKind::Ahv, {}, Variant::text(QStringLiteral(" 756.1281.3907.69")), "7561281390769", ""},
        {EmployeePasswordKind::Ahv, {}, Variant::integer(7561281390769), "7561281390769", ""},
        {EmployeePasswordKind::Ahv, {}, Variant::text(QStringLiteral("756.1281.3907")), "", "EFLDC2"},
        {EmployeePasswordKind::Ahv, {}, Variant::null(), "", "EFLDC2"},
        {EmployeePasswordKind::Fixed, Variant::null(), Variant::null(), "fest", ""},
        {EmployeePasswordKind::None, Variant::null(), Variant::null(), "", ""},
    };
    for (const auto& row : rows) {
        const EmployeePassword p = employeePassword(row.kind, row.birthDate, row.ahv, QStringLiteral("fest"), who);
        const std::string context = employeePasswordKindName(row.kind).toStdString() + " " + row.password;
        EXPECT_EQ(p.password, QString::fromLatin1(row.password)) << context;
        EXPECT_EQ(p.refusal.isEmpty(), !*row.refusalNames) << context;
        if (*row.refusalNames) {
            EXPECT_TRUE(p.refusal.contains(who) && p.refusal.contains(QString::fromLatin1(row.refusalNames)))
                << p.refusal.toStdString();
        }
    }
}

// Thousands of files per employee are reported by folder: certificates and companies per folder, what
// protects them, the totals; every file only when asked (--verbose).
TEST(RunSummary, FilesPerEmployeeAreReportedByFolderUnlessEveryFileIsAsked)
{
    RunSummary summary;
    summary.start();
    summary.setPerEmployee(employeePasswordDescription(EmployeePasswordKind::Ahv));
    for (const char* file : {"/a/X AG/1.pdf", "/a/Y SA/1.pdf", "/a/X AG/2.pdf"})
        summary.addFile(
            QString::fromUtf8(file), 1, {QString::fromUtf8(file).section(u'/', 2, 2)}, QStringLiteral("PDF-Datei"));
    summary.finish();
    const QStringList lines = summary.lines();
    ASSERT_EQ(lines.size(), 4) << lines.join(u'\n').toStdString();
    EXPECT_EQ(lines.mid(0, 3),
              (QStringList{"/a/X AG/\t2 Lohnausweise\tX AG",
                           "/a/Y SA/\t1 Lohnausweis\tY SA",
                           "Schutz\tPasswort: AHV-Nummer (13 Ziffern)"}));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("Total\t3 Dateien\t3 Lohnausweise\t2 Firmen\t")));
    const QStringList every = summary.lines(true);
    EXPECT_EQ(every.mid(0, 4),
              (QStringList{"/a/X AG/1.pdf\t1 Lohnausweis\tX AG",
                           "/a/Y SA/1.pdf\t1 Lohnausweis\tY SA",
                           "/a/X AG/2.pdf\t1 Lohnausweis\tX AG",
                           "Schutz\tPasswort: AHV-Nummer (13 Ziffern)"}));
    const QString status = summary.statusText();
    EXPECT_TRUE(status.contains(QStringLiteral("pro Mitarbeiter, Passwort: AHV-Nummer")) &&
                status.contains(QStringLiteral("/a/X AG/")) && !status.contains(QStringLiteral(".pdf")))
        << status.toStdString();
}
