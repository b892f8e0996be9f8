#include "report/XmlLines.h"

#include "platform/LaError.h"

namespace {

const QString kCrLf = QStringLiteral("\r\n");

bool isXmlChar(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// Payroll data copied from other programs sometimes carries stray control characters; one of them
// would make the whole document unreadable for the formatter, so they are left out.
QString withoutForbiddenCharacters(const QString& text)
{
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text.at(i + 1));
            if (isXmlChar(code)) {
                out += c;
                out += text.at(i + 1);
            }
            ++i;
            continue;
        }
        if (c.isSurrogate())
            continue;
        if (isXmlChar(c.unicode()))
            out += c;
    }
    return out;
}

} // namespace

QString GetXMLStartelement(const QString& name, const QString& attributes)
{
    QString line;
    try {
        line = u'<' + name;
        if (!attributes.isEmpty())
            line += u' ' + attributes;
        line += u'>';
        return line + kCrLf;
    } catch (...) {
        showError(16, QStringLiteral("frmMain.GetXMLStartelement"));
        return line + kCrLf;
    }
}

QString GetXMLElementValue(const QString& name, const QString& attributes, const QString& content)
{
    QString line;
    try {
        line = u'<' + name;
        if (!attributes.isEmpty())
            line += u' ' + attributes;
        line += u'>';
        line += content;
        line += QStringLiteral("</") + name + u'>';
        return line + kCrLf;
    } catch (...) {
        showError(16, QStringLiteral("frmMain.GetXMLElementValue"));
        return line + kCrLf;
    }
}

QString GetXMLEndelement(const QString& name)
{
    QString line;
    try {
        line = QStringLiteral("</") + name + u'>';
        return line + kCrLf;
    } catch (...) {
        showError(16, QStringLiteral("frmMain.GetXMLEndelement"));
        return line + kCrLf;
    }
}

QString val2unicode(const QString& text)
{
    try {
        QString s = withoutForbiddenCharacters(text);
        // The ampersand first, so that the references inserted below are not escaped again.
        s.replace(u'&', QStringLiteral("&amp;"));
        s.replace(u'\'', QStringLiteral("&apos;"));
        s.replace(u'<', QStringLiteral("&lt;"));
        s.replace(u'>', QStringLiteral("&gt;"));
        s.replace(u'"', QStringLiteral("&quot;"));
        s.replace(QChar(0xC4), QStringLiteral("&#196;"));
        s.replace(QChar(0xD6), QStringLiteral("&#214;"));
        s.replace(QChar(0xDC), QStringLiteral("&#220;"));
        s.replace(QChar(0xE4), QStringLiteral("&#228;"));
        s.replace(QChar(0xFC), QStringLiteral("&#252;"));
        s.replace(QChar(0xDF), QStringLiteral("&#223;"));
        return s;
    } catch (...) {
        showError(16, QStringLiteral("Functions.val2unicode"));
        return {};
    }
}
