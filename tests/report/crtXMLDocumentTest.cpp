#include "report/crtXMLDocument.h"

#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "report/ReportFixtures.h"
#include "report/TextStream.h"
#include "report/XmlLines.h"
#include "support/MemoryDb.h"
#include "support/RecordingPrompt.h"

#include <QDate>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// A reader positioned on the first of `rows`, as the PDF run opens it.
class ReaderOver
{
public:
    explicit ReaderOver(const QList<ExportRowValues>& rows)
    {
        auto connection = std::make_shared<MemoryConnection>();
        connection->tables.insert(QStringLiteral("LGHLAEXP"), exportTable(rows));
        reader.setConnection(connection);
        reader.setLibl(QStringLiteral("LIB1"));
        EXPECT_TRUE(reader.init(QStringLiteral("LGHLAEXP"), {}, {}, QStringLiteral("EFLDI2, EFLDH1")));
    }
    clsADOConnect reader;
};

// The whole document for the rows, written in the calling order of the PDF run.
QString documentFor(const QList<ExportRowValues>& rows)
{
    ReaderOver r(rows);
    TextStream stream;
    QString description;
    bool companyOpen = false;
    while (!r.reader.isEOF()) {
        if (!companyOpen) {
            description = crtXMLHeader(stream, r.reader);
            companyOpen = true;
        }
        crtXMLBody(stream, r.reader);
        r.reader.MoveNext();
    }
    crtXMLEnd(stream, description, companyOpen);
    return stream.text();
}

QString staffBlockFor(const ExportRowValues& row)
{
    ReaderOver r({row});
    TextStream stream;
    crtXMLBody(stream, r.reader);
    return stream.text();
}

ExportRowValues with(ExportRowValues row, QLatin1String name, const Variant& value)
{
    row[name] = value;
    return row;
}

Variant text(const char* s)
{
    return Variant::text(QString::fromUtf8(s));
}

QString xmlParseError(const QString& document)
{
    QXmlStreamReader xml(document.toUtf8());
    while (!xml.atEnd())
        xml.readNext();
    return xml.hasError() ? xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber()) : QString();
}

// The texts of all elements of that prefixed name in the declaration namespace, as a parser reads them.
QStringList elementTexts(const QString& document, const QString& qualifiedName)
{
    QStringList texts;
    QXmlStreamReader xml(document.toUtf8());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.qualifiedName() == qualifiedName &&
            xml.namespaceUri() == declarationNamespace())
            texts.append(xml.readElementText());
    }
    return texts;
}

} // namespace

TEST(crtXMLDocument, OneRowDocumentIsExactlyTheExpectedText)
{
    QFile file(QStringLiteral(LA_TEST_DATA_DIR "/xml-one-row.xml"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString expected = QString::fromUtf8(file.readAll());
    expected.replace(QStringLiteral("@TODAY@"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));

    const QString actual = documentFor({sampleRow()});

    EXPECT_EQ(actual.toStdString(), expected.toStdString());
    EXPECT_TRUE(actual.endsWith(kCrLf));
    EXPECT_EQ(actual.count(kCrLf), actual.count(u'\n')) << "every line ends in CR LF";
}

TEST(crtXMLDocument, Val2unicodeEscapesByTheTableAndDropsWhatXmlForbids)
{
    const struct
    {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("a & b"), QStringLiteral("a &amp; b")},
        {QStringLiteral("&amp;"), QStringLiteral("&amp;amp;")},
        {QStringLiteral("O'Neill"), QStringLiteral("O&apos;Neill")},
        {QStringLiteral("<x>"), QStringLiteral("&lt;x&gt;")},
        {QStringLiteral("\"q\""), QStringLiteral("&quot;q&quot;")},
        {QStringLiteral("ÄÖÜäüß"), QStringLiteral("&#196;&#214;&#220;&#228;&#252;&#223;")},
        {QStringLiteral("ö é è à ç €"), QStringLiteral("ö é è à ç €")},
        {QStringLiteral("Gäste & Söhne"), QStringLiteral("G&#228;ste &amp; Söhne")},
        {QStringLiteral("  trailing  "), QStringLiteral("  trailing  ")},
        {QStringLiteral("tab\there\r\nnext"), QStringLiteral("tab\there\r\nnext")},
        {QStringLiteral("a") + QChar(0x01) + QStringLiteral("b") + QChar(0x1F) + QChar(0x0B) + QChar(0x0C),
         QStringLiteral("ab")},
        {QStringLiteral("nul") + QChar(0x00) + QStringLiteral("x"), QStringLiteral("nulx")},
        {QStringLiteral("lone") + QChar(0xD800) + QStringLiteral("x") + QChar(0xDC00), QStringLiteral("lonex")},
        {QStringLiteral("x") + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("y"), QStringLiteral("xy")},
        {QString::fromUtf8("emoji \xF0\x9F\x98\x80 ok"), QString::fromUtf8("emoji \xF0\x9F\x98\x80 ok")},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(val2unicode(c.in).toStdString(), c.out.toStdString()) << "input: " << c.in.toStdString();
}

TEST(crtXMLDocument, LineBuildersJoinNameAttributesAndContent)
{
    EXPECT_EQ(GetXMLStartelement(QStringLiteral("ns2:Staff")), QStringLiteral("<ns2:Staff>\r\n"));
    EXPECT_EQ(GetXMLStartelement(QStringLiteral("a"), QStringLiteral("x=\"1\"")), QStringLiteral("<a x=\"1\">\r\n"));
    EXPECT_EQ(GetXMLStartelement(QStringLiteral("ns2:FreeTransport/")), QStringLiteral("<ns2:FreeTransport/>\r\n"));
    EXPECT_EQ(GetXMLElementValue(QStringLiteral("v"), {}, QStringLiteral("<raw>")), QStringLiteral("<v><raw></v>\r\n"));
    EXPECT_EQ(GetXMLElementValue(QStringLiteral("v"), QStringLiteral("a=\"b\""), {}),
              QStringLiteral("<v a=\"b\"></v>\r\n"));
    EXPECT_EQ(GetXMLEndelement(QStringLiteral("ns2:Staff")), QStringLiteral("</ns2:Staff>\r\n"));
}

TEST(crtXMLDocument, CertificateKindFollowsBoxesAAndB)
{
    const struct
    {
        Variant a;
        Variant b;
        const char* element; // nullptr: neither
    } cases[] = {
        {text("X"), text(""), "ns2:TaxSalary"},
        {text("x"), Variant::null(), "ns2:TaxSalary"},
        {text("X"), text("X"), "ns2:TaxSalary"},
        {text(""), text("X"), "ns2:TaxAnnuity"},
        {Variant::null(), text("x"), "ns2:TaxAnnuity"},
        {text("Y"), text("XX"), nullptr},
        {Variant::null(), Variant::null(), nullptr},
    };
    for (const auto& c : cases) {
        ExportRowValues row = with(with(sampleRow(), Field::EFLDA, c.a), Field::EFLDB, c.b);
        const QString block = staffBlockFor(row);
        SCOPED_TRACE(c.element ? c.element : "neither");
        const int salaries = int(block.count(QStringLiteral("<ns2:TaxSalary>\r\n")));
        const int annuities = int(block.count(QStringLiteral("<ns2:TaxAnnuity>\r\n")));
        EXPECT_EQ(salaries, block.count(QStringLiteral("</ns2:TaxSalary>\r\n")));
        EXPECT_EQ(annuities, block.count(QStringLiteral("</ns2:TaxAnnuity>\r\n")));
        if (!c.element) {
            EXPECT_EQ(salaries + annuities, 0);
            EXPECT_TRUE(block.contains(QStringLiteral("<ns2:TaxSalaries>\r\n<ns2:Period>\r\n")));
            EXPECT_TRUE(block.contains(QStringLiteral("</ns2:Remark>\r\n</ns2:TaxSalaries>\r\n")));
        } else {
            const QString element = QString::fromLatin1(c.element);
            EXPECT_EQ(salaries + annuities, 1);
            EXPECT_TRUE(block.contains(QStringLiteral("<ns2:TaxSalaries>\r\n<%1>\r\n<ns2:Period>\r\n").arg(element)));
            EXPECT_TRUE(
                block.contains(QStringLiteral("</ns2:Remark>\r\n</%1>\r\n</ns2:TaxSalaries>\r\n").arg(element)));
        }
    }
}

TEST(crtXMLDocument, PeriodDatesAreWrittenOnlyWhenTheyAreDates)
{
    const struct
    {
        Variant from;
        Variant until;
        QString period;
    } cases[] = {
        {Variant::date(QDate(2024, 3, 1)),
         text("30.6.2024"),
         QStringLiteral("<ns2:from>2024-03-01</ns2:from>\r\n<ns2:until>2024-06-30</ns2:until>\r\n")},
        {Variant::timestamp(QDateTime(QDate(2024, 2, 29), QTime(0, 0))),
         text("2024-12-31"),
         QStringLiteral("<ns2:from>2024-02-29</ns2:from>\r\n<ns2:until>2024-12-31</ns2:until>\r\n")},
        {text("30.02.2024"), text("31.12.2024"), QStringLiteral("<ns2:until>2024-12-31</ns2:until>\r\n")},
        {text("01.01.2024"), Variant::null(), QStringLiteral("<ns2:from>2024-01-01</ns2:from>\r\n")},
        {Variant::null(), text(""), QString()},
        {text("ab Januar"), Variant::integer(20240101), QString()},
    };
    for (const auto& c : cases) {
        ExportRowValues row = with(with(sampleRow(), Field::EFLDE1, c.from), Field::EFLDE2, c.until);
        const QString block = staffBlockFor(row);
        EXPECT_TRUE(block.contains(QStringLiteral("<ns2:Period>\r\n") + c.period + QStringLiteral("</ns2:Period>\r\n")))
            << c.period.toStdString();
    }
}

TEST(crtXMLDocument, FlagsDecideOnElementsAndAlignment)
{
    const struct
    {
        Variant value;
        bool setX;
        bool setR;
    } cases[] = {
        {text("X"), true, false},
        {text("x"), true, false},
        {text("R"), false, true},
        {text("r"), false, true},
        {text(" "), false, false},
        {text("X "), false, false},
        {text(""), false, false},
        {Variant::null(), false, false},
    };
    for (const auto& c : cases) {
        ExportRowValues row = sampleRow();
        for (const QLatin1String f : {Field::EFLDF, Field::EFLDG, Field::ET1311, Field::EFLDH0})
            row[f] = c.value;
        const QString block = staffBlockFor(row);
        SCOPED_TRACE(c.value.isNull() ? std::string("Null") : c.value.toText().toStdString());
        EXPECT_EQ(block.contains(QStringLiteral("<ns2:FreeTransport/>\r\n")), c.setX);
        EXPECT_EQ(block.contains(QStringLiteral("<ns2:CanteenLunchCheck/>\r\n")), c.setX);
        EXPECT_EQ(block.contains(QStringLiteral("<ns2:TravelFoodAccommodationCHK/>\r\n")), c.setX);
        EXPECT_TRUE(block.contains(c.setR ? QStringLiteral("<ns2:Aligmment>right</ns2:Aligmment>\r\n")
                                          : QStringLiteral("<ns2:Aligmment>left</ns2:Aligmment>\r\n")));
    }
}

TEST(crtXMLDocument, TwoTextLinesAreEscapedOneByOneAndJoinedWithOneBlank)
{
    const struct
    {
        Variant first;
        Variant second;
        QString joined;
    } cases[] = {
        {text(""), text(""), QStringLiteral(" ")},
        {text("a & b"), text("<c>"), QStringLiteral("a &amp; b &lt;c&gt;")},
        {text("x  "), text("  y"), QStringLiteral("x     y")},
        {text("Überzeit"), text(""), QStringLiteral("&#220;berzeit ")},
        {Variant::integer(12), Variant::decimal(QStringLiteral("3.50")), QStringLiteral("12 3.50")},
    };
    for (const auto& c : cases) {
        ExportRowValues row = sampleRow();
        row[Field::ET1410] = c.first;
        row[Field::ET1420] = c.second;
        row[Field::ET1510] = c.first;
        row[Field::ET1520] = c.second;
        const QString block = staffBlockFor(row);
        EXPECT_TRUE(block.contains(QStringLiteral("<ns2:OtherFringeBenefits>") + c.joined +
                                   QStringLiteral("</ns2:OtherFringeBenefits>\r\n<ns2:Remark>") + c.joined +
                                   QStringLiteral("</ns2:Remark>\r\n")))
            << c.joined.toStdString();
    }
}

TEST(crtXMLDocument, CityDateIsLeftOutWhenEmptyOrNull)
{
    for (const Variant& cityDate : {text(""), Variant::null()}) {
        const QString document = documentFor({with(sampleRow(), Field::EFLDI1, cityDate)});
        EXPECT_FALSE(document.contains(QStringLiteral("ns3:CityDate")));
        EXPECT_TRUE(document.contains(QStringLiteral("\">\r\n<ns3:CreationDate>")));
    }
    const QString document = documentFor({with(sampleRow(), Field::EFLDI1, text(" "))});
    EXPECT_TRUE(document.contains(QStringLiteral("<ns3:CityDate> </ns3:CityDate>\r\n")));
}

TEST(crtXMLDocument, CompanyPartAndDescriptionComeFromTheFirstRowOnly)
{
    ExportRowValues first = employeeRow(QStringLiteral("Alpha AG"), 1);
    ExportRowValues second = employeeRow(QStringLiteral("Alpha AG"), 2);
    second[Field::EFLDI3] = text("Andere Strasse 9");
    second[Field::EFLDI5] = text("Andere Person");
    second[Field::EFLDD] = text("1999");
    const QString document = documentFor({first, second});

    EXPECT_EQ(document.count(QStringLiteral("<ns2:Staff>\r\n<ns2:Person>\r\n")), 2);
    EXPECT_EQ(document.count(QStringLiteral("</ns2:Person>\r\n</ns2:Staff>\r\n")), 2);
    EXPECT_EQ(document.count(QStringLiteral("<ns2:Company ")), 1);
    EXPECT_TRUE(document.contains(QStringLiteral("<ns2:Name>Person 00001</ns2:Name>")));
    EXPECT_TRUE(document.contains(QStringLiteral("<ns2:Name>Person 00002</ns2:Name>")));
    EXPECT_FALSE(document.contains(QStringLiteral("Andere")));
    EXPECT_FALSE(document.contains(QStringLiteral("1999")));
    EXPECT_LT(document.indexOf(QStringLiteral("Person 00001")), document.indexOf(QStringLiteral("Person 00002")));
}

TEST(crtXMLDocument, EndWithoutHeaderWritesOnlyABlankAndTheClosingLine)
{
    TextStream stream;
    crtXMLEnd(stream, QString(), false);
    EXPECT_EQ(stream.text(),
              QStringLiteral(" </ct:SalaryDeclaration> </ns1:DeclareSalary> </soapenv:Body> </soapenv:Envelope>\r\n"));
}

TEST(crtXMLDocument, NullInATextFieldStopsTheWriterWithItsLocation)
{
    const struct
    {
        QLatin1String field;
        const char* location;
        const char* lastWritten;
    } cases[] = {
        {Field::EB0100, "frmMain.crtXMLBody", "<ns2:FreeTransport/>\r\n"},
        {Field::EFLDH1, "frmMain.crtXMLBody", "</ns2:Social-InsuranceIdentification>\r\n"},
        {Field::ET1420, "frmMain.crtXMLBody", "<ns2:Education>500</ns2:Education>\r\n</ns2:Charges>\r\n"},
        {Field::EFLDI2, "frmMain.crtXMLHeader", "<ns2:Name>\r\n"},
        {Field::EFLDI6, "frmMain.crtXMLHeader", "</ns2:CompanyDescription>\r\n"},
    };
    for (const auto& c : cases) {
        ReaderOver r({with(sampleRow(), c.field, Variant::null())});
        TextStream stream;
        try {
            crtXMLHeader(stream, r.reader);
            crtXMLBody(stream, r.reader);
            ADD_FAILURE() << "no error for Null in " << QString(c.field).toStdString();
        } catch (const LaError& e) {
            EXPECT_EQ(e.number(), ErrNo::InvalidUseOfNull);
            EXPECT_EQ(e.source().section(kCrLf, 0, 0).toStdString(), c.location);
            EXPECT_TRUE(stream.text().endsWith(QString::fromLatin1(c.lastWritten)))
                << QString(c.field).toStdString() << ": " << stream.text().right(80).toStdString();
        }
    }
}

TEST(crtXMLDocument, MissingFieldNamesTheReaderInTheChain)
{
    ExportRowValues row = sampleRow();
    auto connection = std::make_shared<MemoryConnection>();
    MemoryTable table = exportTable({row});
    const qsizetype column = table.columns.indexOf(QStringLiteral("EB0800"));
    table.columns[column] = QStringLiteral("XXXXXX");
    connection->tables.insert(QStringLiteral("LGHLAEXP"), table);
    clsADOConnect reader;
    reader.setConnection(connection);
    reader.setLibl(QStringLiteral("LIB1"));
    ASSERT_TRUE(reader.init(QStringLiteral("LGHLAEXP")));
    TextStream stream;
    try {
        crtXMLBody(stream, reader);
        ADD_FAILURE() << "no error for a missing field";
    } catch (const LaError& e) {
        EXPECT_EQ(e.number(), ErrNo::ItemNotFound);
        EXPECT_TRUE(e.source().startsWith(QStringLiteral("frmMain.crtXMLBody")));
    }
}

TEST(crtXMLDocument, DocumentsOfAwkwardRowsAreWellFormedAndKeepTheirText)
{
    const QString nasty = QStringLiteral("A&B <C> \"D\" 'E' ]]> <!-- x --> &#38; ") + QChar(0x01) + QChar(0x08) +
                          QChar(0x1B) + QChar(0xD800) + QChar(0xFFFE) + QStringLiteral("\tÄÖÜäöüß ") + QChar(0xDFFF);
    QList<ExportRowValues> rows;
    ExportRowValues a = sampleRow();
    for (const QLatin1String name : Field::All)
        if (name != Field::EFLDE1 && name != Field::EFLDE2)
            a[name] = Variant::text(nasty);
    rows.append(a);
    ExportRowValues b = employeeRow(QStringLiteral("Gebr. Müller & Söhne AG"), 7);
    for (const QLatin1String flagField :
         {Field::EFLDA, Field::EFLDB, Field::EFLDF, Field::EFLDG, Field::EFLDH0, Field::ET1311, Field::EFLDI1})
        b[flagField] = Variant::null();
    rows.append(b);
    ExportRowValues c = employeeRow(QStringLiteral("x"), 8);
    for (const QLatin1String name : Field::All)
        if (c[name].kind() == Variant::Kind::Text)
            c[name] = Variant::text(QString());
    c[Field::EFLDB] = text("X");
    rows.append(c);

    for (qsizetype n = 1; n <= rows.size(); ++n) {
        const QString document = documentFor(rows.mid(0, n));
        EXPECT_EQ(xmlParseError(document), QString()) << n << " rows";
    }

    // The parsed texts are the originals less the forbidden characters.
    const QString kept = QStringLiteral("A&B <C> \"D\" 'E' ]]> <!-- x --> &#38; \tÄÖÜäöüß ");
    const QString document = documentFor({a});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:HR-RC-Name")), QStringList{kept});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:City")), QStringList{kept});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:Remark")), QStringList{kept + u' ' + kept});
}

TEST(TextStream, SaveWritesUtf8WithoutBomAndReplacesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("doc.xml"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'z'));
    }
    TextStream stream;
    stream.WriteText(QStringLiteral("Söhne\r\n"));
    stream.WriteText(QStringLiteral("€"));
    stream.saveToFile(path);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("S\xC3\xB6hne\r\n\xE2\x82\xAC"));

    try {
        stream.saveToFile(dir.path());
        ADD_FAILURE() << "saving onto a directory succeeded";
    } catch (const LaError& e) {
        EXPECT_NE(e.description(), QString());
    }
}
