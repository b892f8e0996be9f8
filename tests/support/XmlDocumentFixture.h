#pragma once

// Fixture of the XML document tests (tests/report/crtXMLDocumentTest.cpp): documents and staff
// blocks written from rows in memory, and what a parser reads from them.

#include "db/ExportRow.h"
#include "db/clsADOConnect.h"
#include "report/TextStream.h"
#include "report/XmlLines.h"
#include "report/crtXMLDocument.h"
#include "support/MemoryDb.h"
#include "support/ReportFixtures.h"

#include <QDate>
#include <QFile>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

inline const QString kCrLf = QStringLiteral("\r\n");

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
inline QString documentFor(const QList<ExportRowValues>& rows)
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

inline QString staffBlockFor(const ExportRowValues& row)
{
    ReaderOver r({row});
    TextStream stream;
    crtXMLBody(stream, r.reader);
    return stream.text();
}

inline Variant text(const char* s)
{
    return Variant::text(QString::fromUtf8(s));
}

inline QString xmlParseError(const QString& document)
{
    QXmlStreamReader xml(document.toUtf8());
    while (!xml.atEnd())
        xml.readNext();
    return xml.hasError() ? xml.errorString() + QStringLiteral(" at line %1").arg(xml.lineNumber()) : QString();
}

// The texts of all elements of that prefixed name in the declaration namespace, as a parser reads them.
inline QStringList elementTexts(const QString& document, const QString& qualifiedName)
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
