#include "report/crtXMLDocument.h"

#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "report/TextStream.h"
#include "report/XmlLines.h"
#include "support/MemoryDb.h"
#include "support/ReportFixtures.h"
#include "support/TestFiles.h"

#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <utility>

namespace {

// A reader positioned on the first of `rows`, as the PDF run opens it.
std::unique_ptr<clsADOConnect> readerOver(const QList<ExportRowValues>& rows)
{
    auto connection = std::make_shared<MemoryConnection>();
    connection->tables.insert(QStringLiteral("LGHLAEXP"), exportTable(rows));
    auto reader = std::make_unique<clsADOConnect>();
    reader->setConnection(connection);
    reader->setLibl(QStringLiteral("LIB1"));
    EXPECT_TRUE(reader->init(QStringLiteral("LGHLAEXP"), {}, {}, QStringLiteral("EFLDI2, EFLDH1")));
    return reader;
}

// The whole document for the rows, written in the calling order of the PDF run.
QString documentFor(const QList<ExportRowValues>& rows)
{
    const auto reader = readerOver(rows);
    TextStream stream;
    QString description;
    bool companyOpen = false;
    for (; !reader->isEOF(); reader->MoveNext()) {
        if (!std::exchange(companyOpen, true))
            description = crtXMLHeader(stream, *reader);
        crtXMLBody(stream, *reader);
    }
    crtXMLEnd(stream, description, companyOpen);
    return stream.text();
}

QString staffBlockFor(const ExportRowValues& row)
{
    TextStream stream;
    crtXMLBody(stream, *readerOver({row}));
    return stream.text();
}

Variant text(const char* s)
{
    return Variant::text(QString::fromUtf8(s));
}

// The texts of all elements of that prefixed name in the declaration namespace, as a parser reads
// them; a failure where the document is not well-formed.
QStringList elementTexts(const QString& document, const QString& qualifiedName = {})
{
    QStringList texts;
    QXmlStreamReader xml(document.toUtf8());
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.qualifiedName() == qualifiedName &&
            xml.namespaceUri() == declarationNamespace())
            texts.append(xml.readElementText());
    }
    EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString()) << " at line " << xml.lineNumber();
    return texts;
}

} // namespace

TEST(crtXMLDocument, OneRowDocumentIsExactlyTheExpectedText)
{
    QString expected = QString::fromUtf8(readBytes(QStringLiteral(LA_TEST_DATA_DIR "/xml-one-row.xml")));
    expected.replace(QStringLiteral("@TODAY@"), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));

    const QString actual = documentFor({sampleRow()});

    EXPECT_EQ(actual.toStdString(), expected.toStdString());
}

// The escapes themselves are in the expected document; these are what a document cannot show.
TEST(crtXMLDocument, Val2unicodeKeepsSurrogatePairsAndDropsWhatXmlForbids)
{
    EXPECT_EQ(val2unicode(QString::fromUtf8("emoji \xF0\x9F\x98\x80 ok")),
              QString::fromUtf8("emoji \xF0\x9F\x98\x80 ok"));
    // Lone surrogates, U+FFFE and controls are dropped, not escaped.
    EXPECT_EQ(
        val2unicode(QStringLiteral("a") + QChar(0xD800) + u'b' + QChar(0xDFFF) + QChar(0xFFFE) + QChar(0x01) + u'c'),
        QStringLiteral("abc"));
}

// Each case changes fields of the sample row; its staff block must hold every piece given.
TEST(crtXMLDocument, RowValuesShapeTheStaffBlock)
{
    const auto flags = [](const Variant& v) {
        return ExportRowValues{{Field::EFLDF, v}, {Field::EFLDG, v}, {Field::ET1311, v}, {Field::EFLDH0, v}};
    };
    const auto texts = [](const char* first, const char* second) {
        return ExportRowValues{{Field::ET1410, text(first)},
                               {Field::ET1420, text(second)},
                               {Field::ET1510, text(first)},
                               {Field::ET1520, text(second)}};
    };
    const QString salary = QStringLiteral("<ns2:TaxSalaries>\r\n<ns2:TaxSalary>\r\n<ns2:Period>|"
                                          "</ns2:Remark>\r\n</ns2:TaxSalary>\r\n</ns2:TaxSalaries>");
    const QString neither = QStringLiteral("<ns2:TaxSalaries>\r\n<ns2:Period>|</ns2:Remark>\r\n</ns2:TaxSalaries>");
    const QString notSet = QStringLiteral("</ns2:Period>\r\n<ns2:Income>|"
                                          "<ns2:Effective>\r\n<ns2:TravelFoodAccommodation>");
    const struct
    {
        ExportRowValues changes;
        QString pieces; // separated by "|"
    } cases[] = {
        // Certificate kind from boxes A and B.
        {{{Field::EFLDA, text("x")}, {Field::EFLDB, text("X")}}, salary},
        {{{Field::EFLDA, Variant::null()}, {Field::EFLDB, text("x")}},
         QStringLiteral("<ns2:TaxSalaries>\r\n<ns2:TaxAnnuity>\r\n<ns2:Period>|"
                        "</ns2:Remark>\r\n</ns2:TaxAnnuity>\r\n</ns2:TaxSalaries>")},
        {{{Field::EFLDA, text("Y")}, {Field::EFLDB, text("XX")}}, neither},
        {{{Field::EFLDA, Variant::null()}, {Field::EFLDB, Variant::null()}}, neither},
        // Period dates only when they are dates.
        {{{Field::EFLDE1, Variant::date(QDate(2024, 3, 1))}, {Field::EFLDE2, text("30.6.2024")}},
         QStringLiteral(
             "<ns2:Period>\r\n<ns2:from>2024-03-01</ns2:from>\r\n<ns2:until>2024-06-30</ns2:until>\r\n</ns2:Period>")},
        {{{Field::EFLDE1, text("30.02.2024")}, {Field::EFLDE2, text("31.12.2024")}},
         QStringLiteral("<ns2:Period>\r\n<ns2:until>2024-12-31</ns2:until>\r\n</ns2:Period>")},
        {{{Field::EFLDE1, text("01.01.2024")}, {Field::EFLDE2, Variant::null()}},
         QStringLiteral("<ns2:Period>\r\n<ns2:from>2024-01-01</ns2:from>\r\n</ns2:Period>")},
        {{{Field::EFLDE1, text("ab Januar")}, {Field::EFLDE2, Variant::integer(20240101)}},
         QStringLiteral("<ns2:Period>\r\n</ns2:Period>")},
        // Check boxes and the address side.
        {flags(text("x")),
         QStringLiteral("</ns2:Period>\r\n<ns2:FreeTransport/>\r\n<ns2:CanteenLunchCheck/>\r\n<ns2:Income>|"
                        "<ns2:Effective>\r\n<ns2:TravelFoodAccommodationCHK/>\r\n|>left<")},
        {flags(text("r")), notSet + QStringLiteral("|>right<")},
        {flags(text("X ")), notSet + QStringLiteral("|>left<")},
        {flags(Variant::null()), notSet + QStringLiteral("|>left<")},
        // Boxes 14 and 15: two texts, each escaped, joined with one blank.
        {texts("a & b", "<c>"),
         QStringLiteral("<ns2:OtherFringeBenefits>a &amp; b &lt;c&gt;</ns2:OtherFringeBenefits>\r\n"
                        "<ns2:Remark>a &amp; b &lt;c&gt;</ns2:Remark>")},
        {texts("", ""), QStringLiteral("<ns2:OtherFringeBenefits> </ns2:OtherFringeBenefits>")},
        {texts("x  ", "  y"), QStringLiteral("<ns2:Remark>x     y</ns2:Remark>")},
        // The address lines around the street, when they hold text; the language of a home in the
        // Romandie or in Ticino.
        {{{Field::EFLDH2, text("  ")}, {Field::EFLDH4, text("Postfach 118")}, {Field::EFLDH5, text("1204")}},
         QStringLiteral("<ns2:Staff xml:lang=\"fr\">\r\n|right</ns2:Aligmment>\r\n<ns2:Street>Bahnhofstra&#223;e 1"
                        "</ns2:Street>\r\n<ns2:AdditionalLine>Postfach 118</ns2:AdditionalLine>\r\n<ns2:ZIP-Code>")},
        {{{Field::EFLDH2, text("c/o X")}, {Field::EFLDH4, text(" ")}, {Field::EFLDH5, text("6900")}},
         QStringLiteral("<ns2:Staff xml:lang=\"it\">\r\n|<ns2:ComplementaryLine>c/o X</ns2:ComplementaryLine>\r\n"
                        "<ns2:Street>Bahnhofstra&#223;e 1</ns2:Street>\r\n<ns2:ZIP-Code>")},
        // Floating amounts without the noise of their binary form.
        {{{Field::EB0100, Variant::floating(0.1 + 0.2)}, {Field::EB1100, Variant::floating(123456789012.345678)}},
         QStringLiteral("<ns2:Income>0.3</ns2:Income>|<ns2:NetIncome>123456789012.346</ns2:NetIncome>")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        ExportRowValues row = sampleRow();
        for (auto it = c.changes.begin(); it != c.changes.end(); ++it)
            row[it.key()] = it.value();
        const QString block = staffBlockFor(row);
        for (const QString& piece : c.pieces.split(u'|'))
            EXPECT_TRUE(block.contains(piece)) << "missing: " << piece.toStdString();
    }
}

TEST(crtXMLDocument, DocumentsOfAwkwardRowsAreWellFormedAndKeepTheirText)
{
    const QString nasty = QStringLiteral("A&B <C> \"D\" 'E' ]]> <!-- x --> &#38; ") + QChar(0x00) + QChar(0x01) +
                          QChar(0x1B) + QChar(0xFFFE) + QChar(0xFFFF) + QStringLiteral("\tÄÖÜäöüß ");
    QList<ExportRowValues> rows;
    ExportRowValues a = sampleRow();
    // Amount fields must hold numbers.
    for (const QLatin1String name : Field::All)
        if (name != Field::EFLDE1 && name != Field::EFLDE2 && !name.startsWith(QLatin1String("EB")))
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
        SCOPED_TRACE(testing::Message() << n << " rows");
        elementTexts(documentFor(rows.mid(0, n)));
    }
    // An empty place and date is left out rather than written empty.
    EXPECT_FALSE(documentFor({b}).contains(QStringLiteral("CityDate")));

    // The parsed texts are the originals less the forbidden characters.
    const QString kept = QStringLiteral("A&B <C> \"D\" 'E' ]]> <!-- x --> &#38; \tÄÖÜäöüß ");
    const QString document = documentFor({a});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:HR-RC-Name")), QStringList{kept});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:City")), QStringList{kept});
    EXPECT_EQ(elementTexts(document, QStringLiteral("ns2:Remark")), QStringList{kept + u' ' + kept});
}
