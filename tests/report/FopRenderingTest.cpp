// Renders with the shipped launcher (fop/fop) and the certificate style sheet, and reads the PDFs back
// with poppler's tools and qpdf. Each FOP run starts a Java VM, so there are few runs: the sample
// declaration straight through the launcher, a password-protected run of the program itself with texts
// far too long for their boxes, and two runs of one company's certificates by language setting. The
// launcher's own choices are tested against a stand-in for FOP.

#include "platform/clsRegistryHandler.h"
#include "support/OtherUser.h"
#include "support/RealFopFixture.h"

#include <QMap>
#include <sys/stat.h>
#include <unistd.h>

TEST_F(RealFop, SampleDeclarationGivesOneA4CertificatePerStaffBlock)
{
    const QString sample = QStringLiteral(LA_TEST_DATA_DIR "/certificate-sample.xml");
    const QString pdf = dir.filePath(QStringLiteral("certificates.pdf"));
    const ToolResult fop =
        runTool(runtimeFile(QStringLiteral("fop/fop")),
                {"-xml", sample, "-xsl", runtimeFile(QStringLiteral("xsl/TaxAccountingForm.xsl")), "-pdf", pdf});
    ASSERT_EQ(fop.exitCode, 0) << fop.output.toStdString();
    EXPECT_FALSE(fop.output.contains(QStringLiteral("WARN"))) << fop.output.toStdString();
    expectArchivePdf(pdf);

    const QString info = runTool(QStringLiteral("pdfinfo"), {"-f", "1", "-l", "6", pdf}).output;
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n")))) << info.toStdString();
    EXPECT_EQ(info.count(QRegularExpression(QStringLiteral("Page +\\d+ size: +595\\.\\d+ x 841\\.\\d+ pts \\(A4\\)"))),
              5)
        << info.toStdString();

    const QStringList everyPage = {
        QStringLiteral("Bruttolohn total / Rente"),
        QStringLiteral("Beiträge AHV/IV/EO/ALV/NBUV"),
        QStringLiteral("Die Richtigkeit und Vollständigkeit bestätigt inkl. genauer Anschrift und Telefonnummer des "
                       "Arbeitgebers"),
        QStringLiteral("Bäckerei Brühlmann & Söhne AG"),
        QStringLiteral("8002 Zürich"),
        QStringLiteral("Zürich, 31. Januar 2025"),
        QStringLiteral("044 123 45 67"),
    };
    const struct
    {
        QString nameWord;
        bool right;     // address in the right-hand window
        QString marks;  // check boxes A, B, F, G, 13.1.1 in this order: x set, o not set
        QString values; // printed values of this certificate, separated by "|"
    } pages[] = {
        {QStringLiteral("Brühlmann-Mäder"),
         true,
         QStringLiteral("xoxxx"),
         QStringLiteral("Brühlmann-Mäder Jörg|756.9217.0769.85|01.01.2024|31.12.2024|85'000|90'250.5|79'600.25|"
                        "Sabbatical vom 01.03. bis 31.05. Teilzeit 80%")},
        {QStringLiteral("Jöhl-Gerber"),
         false,
         QStringLiteral("oxooo"),
         QStringLiteral("Jöhl-Gerber Françoise|Rue de l'Hôpital 3|2000 Neuchâtel|15.03.2024|1'234.55")},
        {QStringLiteral("Čapek"),
         false,
         QStringLiteral("ooooo"),
         // Amounts that are not plain decimal numbers print as the document gives them.
         QStringLiteral("Čapek Łukasz Győző Weiß|-1'234.5|1'000'000|12,50|1.5e3")},
        {QStringLiteral("Dr."), true, QStringLiteral("xooxo"), QStringLiteral("1'824'845.9|<Ref. 2020-017>")},
        {QStringLiteral("D'Agostino"), true, QStringLiteral("xooxo"), QStringLiteral("D'Agostino Lucia|16'508.15")},
    };
    const QString set = QStringLiteral("☒");
    const QString unset = QStringLiteral("☐");
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const auto& p = pages[i];
        const QString text = runTool(QStringLiteral("pdftotext"),
                                     QStringList{QStringLiteral("-layout")} + pageRange(i + 1) + QStringList{pdf, "-"})
                                 .output;
        for (const QString& s : everyPage + p.values.split(u'|'))
            EXPECT_TRUE(text.contains(s)) << "missing: " << s.toStdString();
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("\\d{4}-\\d\\d-\\d\\d")))) << "ISO date printed";

        const auto mark = [&](int index) { return p.marks.at(index) == u'x' ? set : unset; };
        EXPECT_TRUE(text.contains(mark(0) + QStringLiteral(" Lohnausweis")));
        EXPECT_TRUE(text.contains(mark(1) + QStringLiteral(" Rentenbescheinigung")));
        EXPECT_TRUE(text.contains(mark(2) + QStringLiteral(" Unentgeltliche Beförderung")));
        EXPECT_TRUE(text.contains(mark(3) + QStringLiteral(" Kantinenverpflegung")));
        EXPECT_TRUE(text.contains(QStringLiteral("Übernachtung ") + mark(4)));
        EXPECT_EQ(text.count(set), p.marks.count(u'x'));

        // The address where a window envelope shows it: about 50 mm from the top, 22 mm or 118 mm from
        // the left edge.
        const std::optional<QPointF> at = wordPosition(pdf, i + 1, p.nameWord);
        ASSERT_TRUE(at.has_value()) << p.nameWord.toStdString();
        EXPECT_GT(at->y(), 40 * 72 / 25.4);
        EXPECT_LT(at->y(), 60 * 72 / 25.4);
        EXPECT_NEAR(at->x(), (p.right ? 118 : 22) * 72 / 25.4, 15);
    }
}

// The whole chain: the program's document, launcher and style sheet give a PDF that the program encrypts
// with AES-256 of revision 6 and that opens with the password only. It shows each employee's name and income; where
// every text field is 200 characters long (items 14 and 15 join two of them), each certificate stays on its one page,
// FOP reports nothing that leaves its area, and the cut texts end in "…".
TEST_F(RealFop, ProgramRunGivesAnAesEncryptedPdfWithEveryTextInsideItsBox)
{
    const struct
    {
        const char* name;
        qint64 income;
        const char* printed;
    } people[] = {
        {"Anna Zürcher", 85432, "85'432"}, {"Bruno Keller", 1061207, "1'061'207"}, {"Chantal Dubois", 479, "479"}};
    const QString company = QStringLiteral("Gebrüder Wälti Weinhandlung & Co. ").repeated(6).left(200);
    QList<ExportRowValues> rows;
    for (const auto& person : people) {
        rows.append(employeeRow(company, int(rows.size())));
        rows.last()[Field::EFLDH1] = Variant::text(QString::fromUtf8(person.name));
        rows.last()[Field::EB0100] = Variant::integer(person.income);
    }
    for (const QString& filler : {QStringLiteral("Überlange Angabe & WMW "), QStringLiteral("W")}) {
        ExportRowValues row = employeeRow(company, int(rows.size()));
        for (auto it = row.begin(); it != row.end(); ++it) {
            const bool text = it.key().startsWith(QLatin1String("ET")) || it.key().startsWith(QLatin1String("EFLDC")) ||
                              it.key().startsWith(QLatin1String("EFLDH")) ||
                              it.key().startsWith(QLatin1String("EFLDI"));
            if (text && it.key() != Field::ET1311 && it.key() != Field::EFLDH0 && it.key() != Field::EFLDI2)
                it.value() = Variant::text((it.key() + u' ' + filler.repeated(200)).left(200));
        }
        rows.append(row);
    }
    const QString pdf = dir.filePath(QStringLiteral("LA.pdf"));
    const QString password = QStringLiteral("ge heim\"1");
    const QString log = runProgram(rows, pdf, password);

    EXPECT_FALSE(log.contains(QStringLiteral("WARN"))) << log.toStdString();
    ASSERT_TRUE(QFileInfo(pdf).isFile());
    // A user password, not only an owner password: without it the text cannot be read.
    EXPECT_NE(runTool(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}).exitCode, 0);
    const QString info = runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-upw"), password, pdf}).output;
    EXPECT_TRUE(info.contains(QStringLiteral("algorithm:AES-256"))) << info.toStdString();
    const QString encryption =
        runTool(QStringLiteral("qpdf"), {QStringLiteral("--show-encryption"), "--password=" + password, pdf}).output;
    EXPECT_TRUE(encryption.contains(QStringLiteral("R = 6\n"))) << encryption.toStdString();
    // Encrypted, it is no archive PDF and does not claim to be one.
    EXPECT_FALSE(runTool(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), QStringLiteral("-upw"), password, pdf})
                     .output.contains(QStringLiteral("pdfaid")));
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+5\\n")))) << info.toStdString();

    const ToolResult text =
        runTool(QStringLiteral("pdftotext"), {QStringLiteral("-upw"), password, pdf, QStringLiteral("-")});
    ASSERT_EQ(text.exitCode, 0) << text.output.toStdString();
    for (const auto& person : people) {
        EXPECT_TRUE(text.output.contains(QString::fromUtf8(person.name))) << person.name;
        EXPECT_TRUE(text.output.contains(QString::fromUtf8(person.printed))) << person.printed;
    }
    EXPECT_GE(text.output.count(QStringLiteral("…")), 20) << text.output.toStdString();
    EXPECT_TRUE(text.output.contains(QStringLiteral("EFLDH1 Überlange Angabe")));
    EXPECT_TRUE(text.output.contains(QStringLiteral("50'004"))); // the income of the last row
}

// One company in Genève: each certificate in the language of the employee's home with FormLanguage
// "auto", all German with "de". Per page the title, the amounts and what the page shows of the
// address, empty amount lines, a remark whose long compound word breaks with a hyphen, and a street
// a little too long for its line that is set smaller but whole; the outline lists every certificate.
TEST_F(RealFop, CertificatesInTheLanguageOfTheHomeWithTheWholeAddress)
{
    const QString word = QStringLiteral("Krankentaggeldversicherungsprämienanteil"); // 40 characters
    const QString street = QStringLiteral("Obere Bahnhofstrasse 21, Gebäude Nord, 3. Stock");
    const struct
    {
        const char* name;
        const char* postalCode;
        const char* language; // with "auto"
    } people[] = {{"Bianchi Marco", "6900", "it"}, {"Dubois Marie", "1204", "fr"}, {"Keller Hans", "8001", "de"}};
    QList<ExportRowValues> rows;
    for (const auto& person : people) {
        ExportRowValues row = employeeRow(QStringLiteral("Rhône Transports SA"), int(rows.size()));
        row[Field::EFLDI4] = Variant::text(QStringLiteral("1204 Genève"));
        row[Field::EFLDH1] = Variant::text(QString::fromUtf8(person.name));
        row[Field::EFLDH2] = Variant::text(QString());
        row[Field::EFLDH5] = Variant::text(QString::fromLatin1(person.postalCode));
        row[Field::EB0100] = Variant::integer(85432 + rows.size());
        rows.append(row);
    }
    rows[1][Field::EFLDH2] = Variant::text(QStringLiteral("c/o Brunner-Vogt"));
    rows[1][Field::EFLDH4] = Variant::text(QStringLiteral("Postfach 118"));
    rows[2][Field::EFLDH3] = Variant::text(street);
    rows[2][Field::ET1510] = Variant::text(QStringList(4, word).join(u' '));
    rows[2][Field::ET1520] = Variant::text(QString());
    rows[2][Field::EB1100] = Variant::integer(0);

    const QString configDir = dir.filePath(QStringLiteral("config"));
    const ScopedEnv config("XDG_CONFIG_HOME", configDir);
    const struct
    {
        const char* setting;
        bool byHome;
    } runs[] = {{"auto", true}, {"de", false}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.setting);
        clsRegistryHandler().SaveSettingString(QStringLiteral("FormLanguage"), QString::fromLatin1(run.setting));
        const QString pdf = dir.filePath(QStringLiteral("LA-%1.pdf").arg(QLatin1String(run.setting)));
        const QString log = runProgram(rows, pdf);
        EXPECT_FALSE(log.contains(QStringLiteral("WARN"))) << log.toStdString();

        const QMap<QString, QStringList> expected = {
            {QStringLiteral("de"),
             {QStringLiteral("Lohnausweis – Rentenbescheinigung"), QStringLiteral("Bemerkungen:")}},
            {QStringLiteral("fr"),
             {QStringLiteral("Certificat de salaire – Attestation de rentes"), QStringLiteral("Observations:")}},
            {QStringLiteral("it"),
             {QStringLiteral("Certificato di salario – Attestazione di rendita"), QStringLiteral("Osservazioni:")}},
        };
        QStringList entries = {QStringLiteral("Rhône Transports SA -> 1")};
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(people[i].name);
            const QString text =
                runTool(QStringLiteral("pdftotext"),
                        QStringList{QStringLiteral("-layout")} + pageRange(i + 1) + QStringList{pdf, "-"})
                    .output;
            const QString language = run.byHome ? QString::fromLatin1(people[i].language) : QStringLiteral("de");
            for (const QString& piece : expected.value(language))
                EXPECT_TRUE(text.contains(piece)) << "missing: " << piece.toStdString() << "\n" << text.toStdString();
            EXPECT_TRUE(text.contains(QStringLiteral("85'43%1").arg(2 + i)));
            // 2.1 is 0 and 2.2 1'200.50 in every row: the line of a zero amount stays empty.
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\n\\s*2\\.2 [^\\n]* 1'200\\.5\\d*\\n"))));
            EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("\\n\\s*2\\.1 [^\\n]*[^\\d\\s]\\s*\\n"))))
                << text.toStdString();
            entries
                << QStringLiteral("  %1, 100.00.0000%2 -> %3").arg(QString::fromUtf8(people[i].name)).arg(i).arg(i + 1);
        }
        const QString dubois = runTool(QStringLiteral("pdftotext"),
                                       QStringList{QStringLiteral("-layout")} + pageRange(2) + QStringList{pdf, "-"})
                                   .output;
        EXPECT_TRUE(dubois.contains(QRegularExpression(QStringLiteral(
            "Dubois Marie\\s*\\n\\s*c/o Brunner-Vogt\\s*\\n\\s*Bahnhofstra.e 1\\s*\\n\\s*Postfach 118\\s*\\n"
            "\\s*1204 Zürich"))))
            << dubois.toStdString();
        const QString keller = runTool(QStringLiteral("pdftotext"),
                                       QStringList{QStringLiteral("-layout")} + pageRange(3) + QStringList{pdf, "-"})
                                   .output;
        // The net income of 0 prints: the totals are never left empty.
        EXPECT_TRUE(keller.contains(QRegularExpression(QStringLiteral("\\n\\s*11\\.[^\\n]* 0\\s*\\n"))))
            << keller.toStdString();
        // The compound word breaks at a line end with a hyphen, the rest of it on the next line.
        const QRegularExpressionMatch broken = QRegularExpression(QStringLiteral("(\\w+)-\\s*\\n\\s*(\\w+)"))
                                                   .match(keller.mid(keller.indexOf(word.left(10))));
        EXPECT_TRUE(broken.hasMatch() && word.contains(broken.captured(1) + broken.captured(2)))
            << keller.toStdString();
        // The street whole, without "…", at a smaller size than the name above it.
        EXPECT_TRUE(keller.contains(street)) << keller.toStdString();
        EXPECT_FALSE(keller.contains(QStringLiteral("…")));
        const std::optional<QRectF> name = wordBox(pdf, 3, QStringLiteral("Keller"));
        const std::optional<QRectF> smaller = wordBox(pdf, 3, QStringLiteral("Bahnhofstrasse"));
        ASSERT_TRUE(name && smaller);
        EXPECT_LT(smaller->height(), name->height() * 0.97);

        EXPECT_EQ(outline(pdf).join(u'\n').toStdString(), entries.join(u'\n').toStdString());
    }
}

// The launcher against a stand-in for FOP that records how it was called: the configuration follows
// the encryption options, the arguments and the exit status pass unchanged, and the class-data archive
// is made once per runtime and FOP, then used from a descriptor opened once; a damaged archive, one
// that crashes the VM, one the VM cannot write, and a cache in a folder others can change never fail
// a call. Crash reports go into the private folder.
// The launcher refuses a cache below a folder that others may write to (as /tmp): the test's cache goes
// below the build folder or the home folder, whichever is safe in that sense; empty when neither is.
static QString folderNoOtherCanWriteTo()
{
    for (const QString& base : {QStringLiteral(LA_BINARY_DIR), QDir::homePath()}) {
        bool safe = true;
        for (QDir d(base); safe; d.cdUp()) {
            struct stat st = {};
            safe = ::stat(QFile::encodeName(d.absolutePath()).constData(), &st) == 0 &&
                   (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
            if (d.isRoot())
                break;
        }
        if (safe)
            return base;
    }
    return {};
}

TEST(FopLauncher, ChoosesConfigurationPassesArgumentsAndKeepsASafeClassArchive)
{
    const QString base = folderNoOtherCanWriteTo();
    if (base.isEmpty())
        GTEST_SKIP() << "neither the build folder nor the home folder lies below folders only their owner may write to";
    QTemporaryDir dir(base + QStringLiteral("/launcher-XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    const QString record = dir.filePath(QStringLiteral("calls"));
    const QString fake = dir.filePath(QStringLiteral("bin/fop"));
    const QString privateDir = dir.filePath(QStringLiteral("private"));
    QDir(dir.path()).mkpath(QStringLiteral("bin"));
    QDir(dir.path()).mkpath(QStringLiteral("private"));
    QFile::setPermissions(privateDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const auto writeFake = [&](const QByteArray& marker) {
        QFile f(fake);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n# " + marker +
                "\nprintf '%s|' \"$JAVA_ARGS\" \"$@\" >> \"$RECORD\"; echo >> \"$RECORD\"\n"
                "case \"$JAVA_ARGS\" in *SharedArchiveFile=/proc/self/fd/*) [ -n \"$FAKE_CRASH\" ] && kill -SEGV $$;;"
                " esac\ncase \"$JAVA_ARGS\" in *ArchiveClassesAtExit=*) [ -n \"$FAKE_NO_DUMP\" ] && exit 1;"
                " a=${JAVA_ARGS#*ArchiveClassesAtExit=}; echo classes > \"${a%% *}\";; esac\nexit ${FAKE_STATUS:-0}\n");
        f.close();
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    };
    writeFake("1");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PATH"), dir.filePath(QStringLiteral("bin")) + u':' + env.value(QStringLiteral("PATH")));
    env.insert(QStringLiteral("RECORD"), record);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), dir.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("LOHNAUSWEIS_PRIVATE_DIR"), privateDir);
    env.remove(QStringLiteral("JAVA_ARGS"));
    const QString launcher = runtimeFile(QStringLiteral("fop/fop"));
    QString cacheDir = dir.filePath(QStringLiteral("cache/lohnausweis"));
    const auto archives = [&] { return QDir(cacheDir).entryList({QStringLiteral("fop-*")}, QDir::Files); };
    // One call: its exit status, and the calls of the stand-in (VM flags|arguments|...).
    const auto call = [&](const QStringList& args, int status = 0, const char* fault = nullptr) {
        QFile::remove(record);
        env.insert(QStringLiteral("FAKE_STATUS"), QString::number(status));
        for (const char* name : {"FAKE_CRASH", "FAKE_NO_DUMP"})
            env.remove(QString::fromLatin1(name));
        if (fault)
            env.insert(QString::fromLatin1(fault), QStringLiteral("1"));
        const int rc = runTool(launcher, args, env).exitCode;
        QFile f(record);
        const QStringList calls = f.open(QIODevice::ReadOnly)
                                      ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                      : QStringList();
        return std::make_pair(rc, calls);
    };

    const QStringList render = {"-xml", "a b.xml", "-xsl", "s.xsl", "-pdf", "-u.pdf"};
    const struct
    {
        QStringList args;
        const char* config;
    } cases[] = {
        {render, "fop.xconf"},
        {QStringList{"-u", "ge heim"} + render, "fop-protected.xconf"},
        {QStringList{"-o", "x"} + render, "fop-protected.xconf"},
        {render + QStringList{"-noprint"}, "fop-protected.xconf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const auto [rc, calls] = call(c.args, 3);
        EXPECT_EQ(rc, 3);
        ASSERT_FALSE(calls.isEmpty());
        const QStringList expected =
            QStringList{"-c", QFileInfo(launcher).absolutePath() + u'/' + QLatin1String(c.config)} + c.args;
        EXPECT_EQ(calls.first().section(u'|', 1).toStdString(), (expected.join(u'|') + u'|').toStdString());
    }
    EXPECT_TRUE(archives().isEmpty()) << "a failed call left an archive";

    // The first good call makes the archive and tries it once; the next renders with it. The leftover
    // of a call killed while its VM wrote an archive goes.
    writeBytes(cacheDir + QStringLiteral("/fop-0-pid999999999.tmp"), "half");
    auto [rc, calls] = call(render);
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_TRUE(calls[0].contains(QStringLiteral("-XX:ArchiveClassesAtExit=")));
    EXPECT_TRUE(calls[0].contains(QStringLiteral(" -Xmx300m ")));
    EXPECT_TRUE(
        calls[0].contains(QStringLiteral(" -XX:ErrorFile=") + privateDir + QStringLiteral("/hs_err_pid%p.log")));
    EXPECT_TRUE(calls[1].contains(QStringLiteral("-Xshare:on")) && calls[1].endsWith(QStringLiteral("|-version|")));
    const QStringList made = archives();
    ASSERT_EQ(made.size(), 1);
    EXPECT_EQ(QFileInfo(cacheDir).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
    std::tie(rc, calls) = call(render);
    ASSERT_EQ(calls.size(), 1);
    EXPECT_TRUE(calls[0].contains(QStringLiteral("-XX:SharedArchiveFile=/proc/self/fd/")));

    // Damaged inside (same size): not used but made anew.
    writeBytes(cacheDir + u'/' + made[0], "xlasses\n");
    std::tie(rc, calls) = call(render);
    EXPECT_EQ(calls.size(), 2);
    EXPECT_EQ(archives(), made);
    // Crashing the VM all the same: removed, and the call runs once more without it.
    std::tie(rc, calls) = call(render, 0, "FAKE_CRASH");
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_FALSE(calls[1].contains(QStringLiteral("SharedArchive")));
    EXPECT_TRUE(archives().isEmpty());
    // A VM that cannot write the archive (a full disk) fails the call for that alone: once more without.
    std::tie(rc, calls) = call(render, 0, "FAKE_NO_DUMP");
    EXPECT_EQ(rc, 0);
    ASSERT_EQ(calls.size(), 2);
    EXPECT_FALSE(calls[1].contains(QStringLiteral("Archive")));
    EXPECT_TRUE(archives().isEmpty());

    // Another FOP: a new archive takes the place of the old one.
    call(render);
    writeFake("22");
    std::tie(rc, calls) = call(render);
    EXPECT_EQ(calls.size(), 2);
    EXPECT_EQ(archives().size(), 1);
    EXPECT_NE(archives().value(0), made[0]);

    // A cache under a folder that someone else may change (writable by all, or another user's) is not
    // used; without a private folder crash reports go nowhere.
    env.remove(QStringLiteral("LOHNAUSWEIS_PRIVATE_DIR"));
    for (const bool othersFolder : {false, true}) {
        SCOPED_TRACE(othersFolder);
        const QString shared = dir.filePath(othersFolder ? QStringLiteral("other") : QStringLiteral("shared"));
        ASSERT_TRUE(QDir().mkpath(shared + QStringLiteral("/cache/lohnausweis")));
        ASSERT_EQ(othersFolder ? ::chown(QFile::encodeName(shared).constData(), kOtherUid, kOtherGid)
                               : ::chmod(QFile::encodeName(shared).constData(), 0777),
                  0);
        env.insert(QStringLiteral("XDG_CACHE_HOME"), shared + QStringLiteral("/cache"));
        cacheDir = shared + QStringLiteral("/cache/lohnausweis");
        std::tie(rc, calls) = call(render);
        EXPECT_EQ(rc, 0);
        ASSERT_EQ(calls.size(), 1);
        EXPECT_FALSE(calls[0].contains(QStringLiteral("Archive")));
        EXPECT_TRUE(calls[0].contains(QStringLiteral(" -XX:ErrorFile=/dev/null ")));
        EXPECT_TRUE(archives().isEmpty());
    }
}
