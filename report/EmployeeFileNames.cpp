#include "report/EmployeeFileNames.h"

#include "app/Globals.h"
#include "platform/LaError.h"

#include <QRegularExpression>

namespace {

constexpr qsizetype kNameBytes = 255;
// A file is written beside its name as ".NAME.XXXXXX" first.
constexpr qsizetype kFileNameBytes = kNameBytes - 8;
const QString kPdf = QStringLiteral(".pdf");

const QRegularExpression& placeholder()
{
    static const QRegularExpression pattern(QStringLiteral("\\{([^{}]*)\\}"));
    return pattern;
}

bool isForbidden(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format: // direction overrides could make "fdp.exe" look like "exe.pdf"
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return QStringView(u"/\\:*?\"<>|").contains(c);
    }
}

QString withoutForbidden(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A character beyond the first plane is a valid pair and stays whole.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            continue;
        }
        if (isForbidden(text[i]))
            text[i] = u'_';
    }
    return text;
}

// One name of the path as a file system and a Windows share take it.
QString safeName(QString name)
{
    name = withoutForbidden(name.trimmed());
    if (name.isEmpty())
        return QStringLiteral("_");
    if (name.front() == u'.')
        name.front() = u'_';
    if (name.back() == u'.' || name.back() == u' ')
        name.back() = u'_';
    return name;
}

QString expanded(const QString& segment, const EmployeeFileFields& f)
{
    QString result;
    qsizetype at = 0;
    for (auto it = placeholder().globalMatch(segment); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        result += segment.mid(at, m.capturedStart() - at);
        const QString key = m.captured(1);
        const QString value = key == QLatin1String("Firma")    ? f.company
                              : key == QLatin1String("Name")   ? f.name
                              : key == QLatin1String("Nummer") ? f.number
                              : key == QLatin1String("Jahr")   ? f.year
                                                               : QString::number(f.run);
        // A value never makes a folder: its "/" is a character like the others that a name cannot take.
        result += withoutForbidden(value.trimmed());
        at = m.capturedEnd();
    }
    return result + segment.mid(at);
}

} // namespace

QString cutToUtf8Bytes(const QString& text, qsizetype maxBytes)
{
    qsizetype bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t code = pair ? QChar::surrogateToUcs4(text[i], text[i + 1]) : text[i].unicode();
        const qsizetype size = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

EmployeeFileNames::EmployeeFileNames(const QString& pattern)
{
    const QString used = pattern.trimmed().isEmpty() ? QString::fromLatin1(kDefaultEmployeeFileName) : pattern;
    static const QStringList known = {QStringLiteral("Firma"),
                                      QStringLiteral("Name"),
                                      QStringLiteral("Nummer"),
                                      QStringLiteral("Jahr"),
                                      QStringLiteral("Lauf")};
    for (auto it = placeholder().globalMatch(used); it.hasNext();) {
        const QString key = it.next().captured(1);
        if (!known.contains(key))
            throw LaError::runtime(
                ErrNo::InvalidCall,
                QStringLiteral("Der Einstellungswert %1 \"%2\" enthält den unbekannten Platzhalter {%3}; bekannt "
                               "sind {Firma}, {Name}, {Nummer}, {Jahr} und {Lauf}.")
                    .arg(QString::fromLatin1(SettingName::EmployeeFileName), used, key));
    }
    // Empty folder names ("a//b", a leading "/") keep the files below the output folder.
    m_segments = used.split(u'/', Qt::SkipEmptyParts);
}

QString EmployeeFileNames::next(const EmployeeFileFields& fields)
{
    QStringList names;
    for (const QString& segment : std::as_const(m_segments))
        names << safeName(expanded(segment, fields));
    for (qsizetype i = 0; i + 1 < names.size(); ++i)
        names[i] = cutToUtf8Bytes(names[i], kNameBytes);

    QString stem = names.takeLast();
    if (stem.endsWith(kPdf, Qt::CaseInsensitive))
        stem.chop(kPdf.size());
    const QString folder = names.isEmpty() ? QString() : names.join(u'/') + u'/';
    QString path;
    for (int number = 1;; ++number) {
        const QString suffix = number == 1 ? QString() : u'_' + QString::number(number);
        const qsizetype room = kFileNameBytes - kPdf.size() - suffix.toUtf8().size();
        path = folder + safeName(cutToUtf8Bytes(stem, room)) + suffix + kPdf;
        if (!m_used.contains(path.toCaseFolded()))
            break;
    }
    m_used.insert(path.toCaseFolded());
    return path;
}
