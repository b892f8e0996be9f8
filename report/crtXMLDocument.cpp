#include "report/crtXMLDocument.h"

#include "db/DbRecordSet.h"
#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "platform/LaError.h"
#include "report/TextStream.h"
#include "report/XmlLines.h"

#include <QDate>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

Variant field(clsADOConnect& reader, QLatin1String name)
{
    return reader.getRecordset()->value(name);
}

// Errors about a field name the field and the employee, so that the office can find the row among
// thousands.
QString employee(clsADOConnect& reader)
{
    if (const Variant name = field(reader, Field::EFLDH1); !name.isNull())
        return u'\'' + name.toText() + u'\'';
    if (const Variant number = field(reader, Field::EFLDC2); !number.isNull())
        return QStringLiteral("dem Datensatz mit der AHV-Nummer '") + number.toText() + u'\'';
    return QStringLiteral("einem Datensatz ohne Namen");
}

[[noreturn]] void fieldError(clsADOConnect& reader, int number, QLatin1String name, const QString& problem)
{
    throw LaError::runtime(number, QStringLiteral("Feld %1 von %2: %3.").arg(QString(name), employee(reader), problem));
}

bool isAmountField(QLatin1String name)
{
    return name.startsWith(QLatin1String("EB"));
}

// A text or amount field as the database gives it, escaped. Null is an error here: a certificate with
// a missing amount must not be printed as if the amount were empty; nor may an amount field hold a text
// that is no number. An empty amount stays empty.
QString text(clsADOConnect& reader, QLatin1String name)
{
    const Variant value = field(reader, name);
    if (value.isNull())
        fieldError(reader, ErrNo::InvalidUseOfNull, name, QStringLiteral("kein Wert (Null)"));
    QString result;
    try {
        result = value.toText();
    } catch (const LaError& e) {
        // An amount of infinity has no text; which row holds it is what the office needs to know.
        fieldError(reader, e.number(), name, e.description());
    }
    if (isAmountField(name) && value.kind() == Variant::Kind::Text && !result.trimmed().isEmpty()) {
        try {
            value.toDouble();
        } catch (const LaError&) {
            fieldError(reader, ErrNo::TypeMismatch, name, QStringLiteral("keine Zahl ('%1')").arg(result));
        }
    }
    return val2unicode(result);
}

bool flag(clsADOConnect& reader, QLatin1String name, QChar letter = u'X')
{
    return isFlagSet(field(reader, name), letter);
}

QString attribute(const QString& name, const QString& value)
{
    return name + QStringLiteral("=\"") + value + u'"';
}

QString namespaceUnder(const char* path)
{
    return QString::fromLatin1(kDeclarationNamespaceBase) + QLatin1String(path);
}

// The choice between salary and annuity certificate; made twice per block from the same fields.
QString certificateElement(clsADOConnect& reader)
{
    if (flag(reader, Field::EFLDA))
        return QStringLiteral("ns2:TaxSalary");
    if (flag(reader, Field::EFLDB))
        return QStringLiteral("ns2:TaxAnnuity");
    return {};
}

} // namespace

QString declarationNamespace()
{
    return namespaceUnder("/schema/sd/20051002/SalaryDeclaration");
}

QString containerNamespace()
{
    return namespaceUnder("/schema/sd/20051002/SalaryDeclarationContainer");
}

QString serviceTypesNamespace()
{
    return namespaceUnder("/schema/sd/20051002/SalaryDeclarationServiceTypes");
}

QString crtXMLHeader(TextStream& stream, clsADOConnect& reader)
{
    try {
        const QString head =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>") + QStringLiteral("<soapenv:Envelope ") +
            attribute(QStringLiteral("xmlns:soapenv"), QStringLiteral("http://schemas.xmlsoap.org/soap/envelope/")) +
            u' ' + attribute(QStringLiteral("xmlns:xsd"), QStringLiteral("http://www.w3.org/2001/XMLSchema")) + u' ' +
            attribute(QStringLiteral("xmlns:xsi"), QStringLiteral("http://www.w3.org/2001/XMLSchema-instance")) +
            QStringLiteral("> <soapenv:Body> <ns1:DeclareSalary ") +
            attribute(QStringLiteral("xmlns:ct"), containerNamespace()) + u' ' +
            attribute(QStringLiteral("xmlns:ns1"), serviceTypesNamespace()) +
            QStringLiteral("> <ct:SalaryDeclaration ") +
            attribute(QStringLiteral("schemaVersion"), QStringLiteral("0.0")) + u' ' +
            attribute(QStringLiteral("xmlns"), declarationNamespace()) + u'>' + kCrLf;
        stream.WriteText(head);

        stream.WriteText(GetXMLStartelement(QStringLiteral("ns2:Company"),
                                            attribute(QStringLiteral("xmlns:ns2"), declarationNamespace())) +
                         kCrLf);
        stream.WriteText(GetXMLStartelement(QStringLiteral("ns2:CompanyDescription")));
        stream.WriteText(GetXMLStartelement(QStringLiteral("ns2:Name")));
        stream.WriteText(GetXMLElementValue(QStringLiteral("ns2:HR-RC-Name"), {}, text(reader, Field::EFLDI2)));
        stream.WriteText(GetXMLEndelement(QStringLiteral("ns2:Name")));
        stream.WriteText(GetXMLStartelement(QStringLiteral("ns2:Address")));
        stream.WriteText(GetXMLElementValue(QStringLiteral("ns2:Street"), {}, text(reader, Field::EFLDI3)));
        stream.WriteText(GetXMLElementValue(QStringLiteral("ns2:ZIP-City"), {}, text(reader, Field::EFLDI4)));
        stream.WriteText(GetXMLEndelement(QStringLiteral("ns2:Address")));
        stream.WriteText(GetXMLEndelement(QStringLiteral("ns2:CompanyDescription")));

        QString description = kCrLf;
        description += GetXMLStartelement(QStringLiteral("ns3:GeneralSalaryDeclarationDescription ") +
                                          attribute(QStringLiteral("xmlns:ns3"), declarationNamespace()));
        const QString cityDate = nz(field(reader, Field::EFLDI1), QString());
        if (!cityDate.isEmpty())
            description += GetXMLElementValue(QStringLiteral("ns3:CityDate"), {}, val2unicode(cityDate));
        description += GetXMLElementValue(
            QStringLiteral("ns3:CreationDate"), {}, QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));
        description += GetXMLElementValue(QStringLiteral("ns3:AccountingPeriod"), {}, text(reader, Field::EFLDD));
        description += GetXMLStartelement(QStringLiteral("ns3:ContactPerson"));
        description += GetXMLElementValue(QStringLiteral("ns3:Name"), {}, text(reader, Field::EFLDI5));
        description += GetXMLElementValue(QStringLiteral("ns3:PhoneNumber"), {}, text(reader, Field::EFLDI6));
        description += GetXMLEndelement(QStringLiteral("ns3:ContactPerson"));
        description += GetXMLEndelement(QStringLiteral("ns3:GeneralSalaryDeclarationDescription"));
        return description;
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLHeader"));
    }
}

void crtXMLBody(TextStream& stream, clsADOConnect& reader, FormLanguageChoice language)
{
    try {
        auto start = [&](const QString& name) { stream.WriteText(GetXMLStartelement(name)); };
        auto end = [&](const QString& name) { stream.WriteText(GetXMLEndelement(name)); };
        auto value = [&](const QString& name, QLatin1String f) {
            stream.WriteText(GetXMLElementValue(name, {}, text(reader, f)));
        };
        auto date = [&](const QString& name, QLatin1String f) {
            const QString iso = isoDateOrEmpty(field(reader, f));
            if (!iso.isEmpty())
                stream.WriteText(GetXMLElementValue(name, {}, iso));
        };
        auto emptyWhenSet = [&](const QString& name, QLatin1String f) {
            if (flag(reader, f))
                start(name);
        };
        auto otherWith = [&](const QString& outer, QLatin1String textField, QLatin1String sumField) {
            start(outer);
            value(QStringLiteral("ns2:Text"), textField);
            value(QStringLiteral("ns2:Sum"), sumField);
            end(outer);
        };
        auto joined = [&](QLatin1String first, QLatin1String second) {
            return text(reader, first) + u' ' + text(reader, second);
        };
        // An optional address line: a Null or blank line is no line.
        auto addressLine = [&](const QString& name, QLatin1String f) {
            const QString line = nz(field(reader, f), QString());
            if (!line.trimmed().isEmpty())
                stream.WriteText(GetXMLElementValue(name, {}, val2unicode(line)));
        };

        const FormLanguage printed = certificateLanguage(language,
                                                         nz(field(reader, Field::EFLDH5), QString()),
                                                         nz(field(reader, Field::EFLDH4), QString()),
                                                         nz(field(reader, Field::EFLDI4), QString()));
        if (printed == FormLanguage::German)
            start(QStringLiteral("ns2:Staff"));
        else
            stream.WriteText(GetXMLStartelement(QStringLiteral("ns2:Staff"),
                                                attribute(QStringLiteral("xml:lang"), languageCode(printed))));
        start(QStringLiteral("ns2:Person"));
        start(QStringLiteral("ns2:Particulars"));
        start(QStringLiteral("ns2:Social-InsuranceIdentification"));
        value(QStringLiteral("ns2:AHV-AVS-Number"), Field::EFLDC1);
        value(QStringLiteral("ns2:SV-AS-Number"), Field::EFLDC2);
        end(QStringLiteral("ns2:Social-InsuranceIdentification"));
        value(QStringLiteral("ns2:Name"), Field::EFLDH1);
        start(QStringLiteral("ns2:Address"));
        // The element keeps this spelling: the style sheet matches it by exactly this name.
        stream.WriteText(
            GetXMLElementValue(QStringLiteral("ns2:Aligmment"),
                               {},
                               flag(reader, Field::EFLDH0, u'R') ? QStringLiteral("right") : QStringLiteral("left")));
        addressLine(QStringLiteral("ns2:ComplementaryLine"), Field::EFLDH2);
        value(QStringLiteral("ns2:Street"), Field::EFLDH3);
        addressLine(QStringLiteral("ns2:AdditionalLine"), Field::EFLDH4);
        value(QStringLiteral("ns2:ZIP-Code"), Field::EFLDH5);
        value(QStringLiteral("ns2:City"), Field::EFLDH6);
        end(QStringLiteral("ns2:Address"));
        end(QStringLiteral("ns2:Particulars"));
        start(QStringLiteral("ns2:TaxSalaries"));
        if (const QString kind = certificateElement(reader); !kind.isEmpty())
            start(kind);
        start(QStringLiteral("ns2:Period"));
        date(QStringLiteral("ns2:from"), Field::EFLDE1);
        date(QStringLiteral("ns2:until"), Field::EFLDE2);
        end(QStringLiteral("ns2:Period"));
        emptyWhenSet(QStringLiteral("ns2:FreeTransport/"), Field::EFLDF);
        emptyWhenSet(QStringLiteral("ns2:CanteenLunchCheck/"), Field::EFLDG);
        value(QStringLiteral("ns2:Income"), Field::EB0100);
        start(QStringLiteral("ns2:FringeBenefits"));
        value(QStringLiteral("ns2:FoodLodging"), Field::EB0210);
        value(QStringLiteral("ns2:CompanyCar"), Field::EB0220);
        otherWith(QStringLiteral("ns2:Other"), Field::ET0230, Field::EB0230);
        end(QStringLiteral("ns2:FringeBenefits"));
        otherWith(QStringLiteral("ns2:SporadicBenefits"), Field::ET0300, Field::EB0300);
        otherWith(QStringLiteral("ns2:CapitalPayment"), Field::ET0400, Field::EB0400);
        value(QStringLiteral("ns2:OwnershipRight"), Field::EB0500);
        value(QStringLiteral("ns2:BoardOfDirectorsRemuneration"), Field::EB0600);
        otherWith(QStringLiteral("ns2:OtherBenefits"), Field::ET0700, Field::EB0700);
        value(QStringLiteral("ns2:GrossIncome"), Field::EB0800);
        value(QStringLiteral("ns2:AHV-ALV-NBUV-AVS-AC-AANP-Contribution"), Field::EB0900);
        start(QStringLiteral("ns2:BVG-LPP-Contribution"));
        value(QStringLiteral("ns2:Regular"), Field::EB1010);
        value(QStringLiteral("ns2:Purchase"), Field::EB1020);
        end(QStringLiteral("ns2:BVG-LPP-Contribution"));
        value(QStringLiteral("ns2:NetIncome"), Field::EB1100);
        value(QStringLiteral("ns2:DeductionAtSource"), Field::EB1200);
        start(QStringLiteral("ns2:Charges"));
        start(QStringLiteral("ns2:Effective"));
        emptyWhenSet(QStringLiteral("ns2:TravelFoodAccommodationCHK/"), Field::ET1311);
        value(QStringLiteral("ns2:TravelFoodAccommodation"), Field::EB1311);
        otherWith(QStringLiteral("ns2:Other"), Field::ET1312, Field::EB1312);
        end(QStringLiteral("ns2:Effective"));
        start(QStringLiteral("ns2:LumpSum"));
        value(QStringLiteral("ns2:Representation"), Field::EB1321);
        value(QStringLiteral("ns2:Car"), Field::EB1322);
        otherWith(QStringLiteral("ns2:Other"), Field::ET1323, Field::EB1323);
        end(QStringLiteral("ns2:LumpSum"));
        value(QStringLiteral("ns2:Education"), Field::EB1330);
        end(QStringLiteral("ns2:Charges"));
        stream.WriteText(
            GetXMLElementValue(QStringLiteral("ns2:OtherFringeBenefits"), {}, joined(Field::ET1410, Field::ET1420)));
        stream.WriteText(GetXMLElementValue(QStringLiteral("ns2:Remark"), {}, joined(Field::ET1510, Field::ET1520)));
        if (const QString kind = certificateElement(reader); !kind.isEmpty())
            end(kind);
        end(QStringLiteral("ns2:TaxSalaries"));
        end(QStringLiteral("ns2:Person"));
        end(QStringLiteral("ns2:Staff"));
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLBody"));
    }
}

void crtXMLEnd(TextStream& stream, const QString& generalDescription, bool companyOpen)
{
    try {
        if (companyOpen)
            stream.WriteText(GetXMLEndelement(QStringLiteral("ns2:Company")));
        stream.WriteText(generalDescription.isEmpty() ? QStringLiteral(" ") : generalDescription);
        stream.WriteText(
            QStringLiteral("</ct:SalaryDeclaration> </ns1:DeclareSalary> </soapenv:Body> </soapenv:Envelope>") + kCrLf);
    } catch (...) {
        raiseError(QStringLiteral("frmMain.crtXMLEnd"));
    }
}
