#include "report/CertificateSplitter.h"

#include "platform/LaError.h"
#include "report/PdfProtection.h"

#include <QFile>
#include <climits>
#include <map>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNumberTreeObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFOutlineDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <vector>

namespace {

using Handle = QPDFObjectHandle;

// Letters and digits only: the outline's entry and the row's texts differ in blanks and punctuation.
QString comparable(const QString& text)
{
    QString result;
    for (const QChar c : text)
        if (c.isLetterOrNumber())
            result += c;
    return result;
}

[[noreturn]] void refuse(const QString& description, const QString& why)
{
    throw LaError::runtime(ErrNo::InvalidCall,
                           QStringLiteral("Die PDF-Datei '%1' lässt sich nicht in einzelne Lohnausweise teilen: %2")
                               .arg(description, why));
}

// The pages an element of the tag structure shows content on, as a range of page indexes.
struct PageSpan
{
    int first = INT_MAX;
    int last = -1;
    bool empty() const { return last < 0; }
    void add(int page)
    {
        first = std::min(first, page);
        last = std::max(last, page);
    }
    void add(const PageSpan& other)
    {
        if (!other.empty()) {
            add(other.first);
            add(other.last);
        }
    }
};

std::vector<Handle> kidsOf(Handle element)
{
    Handle k = element.getKey("/K");
    if (k.isArray())
        return k.getArrayAsVector();
    if (k.isNull())
        return {};
    return {k};
}

// A marked-content reference or object reference; everything else among the kids that is a dictionary
// is a structure element.
bool isContentReference(Handle kid)
{
    return kid.isDictionaryOfType("/MCR") || kid.isDictionaryOfType("/OBJR");
}

} // namespace

struct CertificateSplitter::Document
{
    QPDF pdf;
    Handle pages;
    std::vector<Handle> pageList;
    std::map<QPDFObjGen, int> pageIndex;

    struct Entry
    {
        Handle company; // the company's outline entry
        Handle item;    // the certificate's
        int firstPage = 0;
        int lastPage = 0;
    };
    std::vector<Entry> entries;

    // Default handles are uninitialized, and qpdf throws on any question put to one.
    Handle structTreeRoot = Handle::newNull(); // null: an untagged document
    std::map<long long, Handle> parentTree;
    std::map<QPDFObjGen, PageSpan> spans;

    Handle archiveMetadata = Handle::newNull();
    Handle protectedMetadata = Handle::newNull();

    int pageOf(Handle page, int inherited) const
    {
        if (!page.isIndirect())
            return inherited;
        const auto it = pageIndex.find(page.getObjGen());
        return it == pageIndex.end() ? -1 : it->second;
    }

    int pageOfElement(Handle element, int inherited) const
    {
        return element.hasKey("/Pg") ? pageOf(element.getKey("/Pg"), -1) : inherited;
    }

    PageSpan spanOf(Handle element, int inherited)
    {
        if (element.isIndirect())
            if (const auto it = spans.find(element.getObjGen()); it != spans.end())
                return it->second;
        PageSpan span;
        const int page = pageOfElement(element, inherited);
        for (Handle kid : kidsOf(element)) {
            if (kid.isInteger()) {
                if (page >= 0)
                    span.add(page);
            } else if (kid.isDictionary() && isContentReference(kid)) {
                if (const int p = pageOfElement(kid, page); p >= 0)
                    span.add(p);
            } else if (kid.isDictionary()) {
                span.add(spanOf(kid, page));
            }
        }
        if (element.isIndirect())
            spans[element.getObjGen()] = span;
        return span;
    }

    // The element restricted to the pages first..last under `parent`: itself when it lies wholly on
    // them, a shortened copy when only some of its content does (noted in `copies`), null when none.
    Handle
    restricted(Handle element, int inherited, int first, int last, Handle parent, std::map<QPDFObjGen, Handle>& copies)
    {
        const PageSpan span = spanOf(element, inherited);
        if (span.empty() || span.last < first || span.first > last)
            return Handle::newNull();
        if (span.first >= first && span.last <= last) {
            element.replaceKey("/P", parent);
            return element;
        }
        Handle copy = pdf.makeIndirectObject(element.shallowCopy());
        copy.replaceKey("/P", parent);
        if (element.isIndirect())
            copies[element.getObjGen()] = copy;
        const int page = pageOfElement(element, inherited);
        const auto onPages = [&](int p) { return p >= first && p <= last; };
        Handle kids = Handle::newArray();
        for (Handle kid : kidsOf(element)) {
            if (kid.isInteger()) {
                if (onPages(page))
                    kids.appendItem(kid);
            } else if (kid.isDictionary() && isContentReference(kid)) {
                if (onPages(pageOfElement(kid, page)))
                    kids.appendItem(kid);
            } else if (kid.isDictionary()) {
                if (Handle kept = restricted(kid, page, first, last, copy, copies); !kept.isNull())
                    kids.appendItem(kept);
            }
        }
        copy.replaceKey("/K", kids);
        return copy;
    }

    Handle restrictedStructure(int first, int last)
    {
        Handle root = pdf.makeIndirectObject(structTreeRoot.shallowCopy());
        root.removeKey("/IDTree"); // would name elements of other certificates
        std::map<QPDFObjGen, Handle> copies;
        Handle kids = Handle::newArray();
        for (Handle kid : kidsOf(structTreeRoot)) {
            if (!kid.isDictionary())
                continue;
            if (Handle kept = restricted(kid, -1, first, last, root, copies); !kept.isNull())
                kids.appendItem(kept);
        }
        root.replaceKey("/K", kids);

        // The parent tree: the entries of these pages, leading to the elements this file keeps.
        const auto kept = [&](Handle element) {
            if (element.isIndirect())
                if (const auto it = copies.find(element.getObjGen()); it != copies.end())
                    return it->second;
            return element;
        };
        Handle nums = Handle::newArray();
        for (int p = first; p <= last; ++p) {
            Handle key = pageList[size_t(p)].getKey("/StructParents");
            if (!key.isInteger())
                continue;
            const auto it = parentTree.find(key.getIntValue());
            if (it == parentTree.end())
                continue;
            Handle value = it->second;
            if (value.isArray()) {
                Handle mapped = Handle::newArray();
                for (Handle element : value.getArrayAsVector())
                    mapped.appendItem(element.isDictionary() ? kept(element) : element);
                value = mapped;
            } else if (value.isDictionary()) {
                value = kept(value);
            }
            nums.appendItem(key);
            nums.appendItem(value);
        }
        Handle tree = Handle::newDictionary();
        tree.replaceKey("/Nums", nums);
        root.replaceKey("/ParentTree", pdf.makeIndirectObject(tree));
        return root;
    }

    Handle outline(Entry entry)
    {
        Handle outlines = pdf.makeIndirectObject(Handle::newDictionary());
        Handle company = pdf.makeIndirectObject(Handle::newDictionary());
        Handle item = pdf.makeIndirectObject(Handle::newDictionary());
        outlines.replaceKey("/Type", Handle::newName("/Outlines"));
        outlines.replaceKey("/First", company);
        outlines.replaceKey("/Last", company);
        outlines.replaceKey("/Count", Handle::newInteger(2));
        company.replaceKey("/Title", entry.company.getKey("/Title"));
        company.replaceKey("/Parent", outlines);
        company.replaceKey("/First", item);
        company.replaceKey("/Last", item);
        company.replaceKey("/Count", Handle::newInteger(1));
        item.replaceKey("/Title", entry.item.getKey("/Title"));
        item.replaceKey("/Parent", company);
        // Both point where the certificate's entry pointed: its first page.
        for (const char* key : {"/A", "/Dest"}) {
            if (entry.item.hasKey(key)) {
                company.replaceKey(key, entry.item.getKey(key));
                item.replaceKey(key, entry.item.getKey(key));
            }
        }
        return outlines;
    }
};

CertificateSplitter::CertificateSplitter(const QString& pdfFile, const QStringList& titles, const QString& description)
    : m_document(std::make_unique<Document>())
    , m_description(description)
{
    Document& d = *m_document;
    try {
        d.pdf.setSuppressWarnings(true);
        d.pdf.processFile(QFile::encodeName(pdfFile).constData());
        Handle root = d.pdf.getRoot();
        // One flat list of pages, so that a certificate's pages are one array.
        d.pdf.pushInheritedAttributesToPage();
        d.pageList = d.pdf.getAllPages();
        d.pages = root.getKey("/Pages");
        for (size_t i = 0; i < d.pageList.size(); ++i) {
            d.pageList[i].replaceKey("/Parent", d.pages);
            d.pageIndex[d.pageList[i].getObjGen()] = int(i);
        }

        QPDFOutlineDocumentHelper outlines(d.pdf);
        for (QPDFOutlineObjectHelper& company : outlines.getTopLevelOutlines()) {
            for (QPDFOutlineObjectHelper& item : company.getKids()) {
                const int page = d.pageOf(item.getDestPage(), -1);
                if (page < 0)
                    refuse(description, QStringLiteral("ein Eintrag der Übersicht zeigt auf keine Seite."));
                d.entries.push_back({company.getObjectHandle(), item.getObjectHandle(), page, 0});
            }
        }
        if (qsizetype(d.entries.size()) != titles.size())
            refuse(description,
                   QStringLiteral("die Übersicht nennt %1 Lohnausweise, das Dokument hat %2.")
                       .arg(d.entries.size())
                       .arg(titles.size()));
        for (size_t i = 0; i < d.entries.size(); ++i) {
            Document::Entry& e = d.entries[i];
            const int next = i + 1 < d.entries.size() ? d.entries[i + 1].firstPage : int(d.pageList.size());
            if ((i == 0 && e.firstPage != 0) || next <= e.firstPage)
                refuse(description, QStringLiteral("die Seiten der Lohnausweise folgen nicht aufeinander."));
            e.lastPage = next - 1;
            const QString title = QString::fromStdString(e.item.getKey("/Title").getUTF8Value());
            if (comparable(title) != comparable(titles[qsizetype(i)]))
                refuse(description,
                       QStringLiteral("der %1. Lohnausweis ist \"%2\", erwartet war \"%3\".")
                           .arg(i + 1)
                           .arg(title, titles[qsizetype(i)]));
        }

        if (Handle tree = root.getKey("/StructTreeRoot"); tree.isDictionary()) {
            d.structTreeRoot = tree;
            if (Handle parents = tree.getKey("/ParentTree"); parents.isDictionary())
                for (const auto& [key, value] : QPDFNumberTreeObjectHelper(parents, d.pdf))
                    d.parentTree[key] = value;
        }
        d.archiveMetadata = root.getKey("/Metadata");
        // Another certificate's pages must not come in through the document's named destinations or
        // its opening view.
        for (const char* key : {"/Names", "/Dests", "/OpenAction"})
            root.removeKey(key);
    } catch (const LaError&) {
        throw;
    } catch (const std::exception& e) {
        refuse(description, QString::fromLocal8Bit(e.what()));
    }
}

CertificateSplitter::~CertificateSplitter() = default;

qsizetype CertificateSplitter::count() const
{
    return qsizetype(m_document->entries.size());
}

QByteArray CertificateSplitter::certificate(qsizetype index, const QString& password)
{
    Document& d = *m_document;
    const Document::Entry& entry = d.entries.at(size_t(index));
    try {
        Handle root = d.pdf.getRoot();
        Handle kids = Handle::newArray();
        for (int p = entry.firstPage; p <= entry.lastPage; ++p)
            kids.appendItem(d.pageList[size_t(p)]);
        d.pages.replaceKey("/Kids", kids);
        d.pages.replaceKey("/Count", Handle::newInteger(kids.getArrayNItems()));
        d.pdf.updateAllPagesCache();
        root.replaceKey("/Outlines", d.outline(entry));
        if (!d.structTreeRoot.isNull())
            root.replaceKey("/StructTreeRoot", d.restrictedStructure(entry.firstPage, entry.lastPage));

        if (!d.archiveMetadata.isNull()) {
            if (!password.isEmpty() && d.protectedMetadata.isNull()) {
                root.replaceKey("/Metadata", d.archiveMetadata.copyStream());
                dropPdfAIdentification(d.pdf);
                d.protectedMetadata = root.getKey("/Metadata");
            }
            root.replaceKey("/Metadata", password.isEmpty() ? d.archiveMetadata : d.protectedMetadata);
        }

        QPDFWriter writer(d.pdf);
        writer.setOutputMemory();
        // The streams go out as the formatter compressed them: decoding and compressing them again for
        // every certificate would only cost time.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setCompressStreams(false);
        if (!password.isEmpty())
            applyPdfProtection(writer, password);
        writer.write();
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()), qsizetype(out->getSize()));
    } catch (const std::exception& e) {
        refuse(m_description, QString::fromLocal8Bit(e.what()));
    }
}
