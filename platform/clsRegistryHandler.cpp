#include "platform/clsRegistryHandler.h"

#include "platform/AppIdentity.h"
#include "platform/FileDescriptor.h"
#include "platform/LaError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kTypeText = 1;
constexpr int kTypeBytes = 3;
constexpr int kTypeNumber = 4;
constexpr int kTypeDeleted = -1; // "Name"=- in an export: the value is gone

const char* const kTempInfix = ".tmp";
// A settings file holds a few dozen lines. One far larger is no settings file of ours (a log or a
// disk image saved under its name); reading it would hold up every run and fill the memory.
constexpr qint64 kLargestStore = 1024 * 1024;

// In the store a missing file on write means a missing directory.
LaError osError(int code, const QString& file)
{
    return fileError(code == ENOENT ? ENOTDIR : code, file);
}

// Held while a write reads, changes and replaces the store, so that two processes (or two windows
// of the program) writing at the same time do not lose each other's values. The lock file is never
// replaced, unlike the store itself.
class StoreLock
{
public:
    explicit StoreLock(const QString& lockFile)
        : m_fd(::open(QFile::encodeName(lockFile).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600))
    {
        if (m_fd.get() < 0)
            throw osError(errno, lockFile);
        // Another program holding the lock for long (a hung window, an editor) must not make the
        // run wait without a word: wait a little, then say why nothing can be stored.
        for (int attempt = 0;; ++attempt) {
            if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0)
                return;
            if (errno != EWOULDBLOCK && errno != EINTR)
                throw osError(errno, lockFile);
            if (attempt * kLockPollMs >= kLockWaitMs)
                throw LaError::runtime(ErrNo::PermissionDenied,
                                       QStringLiteral("Die Einstellungen werden gerade von einem anderen Programm "
                                                      "geändert (Sperre '%1'). Bitte später noch einmal versuchen.")
                                           .arg(lockFile));
            ::usleep(kLockPollMs * 1000);
        }
    }

private:
    static constexpr int kLockWaitMs = 3000;
    static constexpr int kLockPollMs = 50;
    FileDescriptor m_fd; // closing the descriptor releases the lock
};

// The file a store name stands for: a symbolic link (as dot-file managers make them) is followed,
// so that writing replaces its target and the link stays.
QString followLinks(QString path)
{
    for (int depth = 0; depth < 40; ++depth) {
        const QFileInfo info(path);
        if (!info.isSymLink())
            return path;
        const QString target = info.symLinkTarget(); // absolute, also for a relative link
        if (target.isEmpty())
            return path;
        path = target;
    }
    throw osError(ELOOP, path);
}

// Returns false when the file does not exist.
bool readWholeFile(const QString& path, QByteArray& content)
{
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        throw osError(errno, path);
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (content.size() + n > kLargestStore)
            throw LaError::runtime(ErrNo::PathFileAccess,
                                   QStringLiteral("Die Einstellungsdatei '%1' ist grösser als %2 Bytes und damit "
                                                  "keine Einstellungsdatei dieses Programms; sie wird weder gelesen "
                                                  "noch geändert. Bitte die Datei prüfen und verschieben.")
                                       .arg(path)
                                       .arg(kLargestStore));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw osError(errno, path);
        }
        content.append(buffer, n);
    }
}

void syncDirectory(const QString& dir)
{
    FileDescriptor fd(::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

// Write beside, sync, rename: a crash leaves the old store or the new one, never a torn one.
// The new file keeps the permissions of the one it replaces.
void replaceAtomically(const QString& path, const QByteArray& content)
{
    const QString dir = QFileInfo(path).absolutePath();
    struct stat old
    {
    };
    const bool existed = ::stat(QFile::encodeName(path).constData(), &old) == 0;
    QByteArray pattern = QFile::encodeName(path) + kTempInfix + "XXXXXX";
    FileDescriptor fd(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd.get() < 0)
        throw osError(errno, path);
    struct TempRemover
    {
        QByteArray name;
        bool keep = false;
        ~TempRemover()
        {
            if (!keep)
                ::unlink(name.constData());
        }
    } remover{pattern};
    if (existed && ::fchmod(fd.get(), old.st_mode & 07777) != 0)
        throw osError(errno, path);

    const char* data = content.constData();
    qsizetype left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd.get(), data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw osError(errno, path);
        }
        data += n;
        left -= n;
    }
    if (::fsync(fd.get()) != 0 || ::close(fd.release()) != 0)
        throw osError(errno, path);
    if (::rename(pattern.constData(), QFile::encodeName(path).constData()) != 0)
        throw osError(errno, path);
    remover.keep = true;
    syncDirectory(dir);
}

// Temporary files of a writer that died before its rename. Only the lock holder writes one, so
// while we hold the lock every one of them is stale.
void removeStaleTempFiles(const QString& path)
{
    const QFileInfo info(path);
    QDir dir(info.absolutePath());
    const QStringList stale =
        dir.entryList({info.fileName() + QString::fromLatin1(kTempInfix) + u'*'}, QDir::Files | QDir::Hidden);
    for (const QString& name : stale)
        dir.remove(name);
}

void makeStoreDirectory(const QString& path)
{
    const QString dir = QFileInfo(path).absolutePath();
    QDir().mkpath(QFileInfo(dir).absolutePath());
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST)
        throw osError(errno, dir);
}

QString rootName(quint32 hKey)
{
    switch (hKey) {
    case 0x80000000u:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case 0x80000001u:
        return QStringLiteral("HKEY_CURRENT_USER");
    case 0x80000002u:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case 0x80000003u:
        return QStringLiteral("HKEY_USERS");
    case 0x80000005u:
        return QStringLiteral("HKEY_CURRENT_CONFIG");
    default:
        return {};
    }
}

bool sameKey(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString escapeQuoted(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        if (c == u'\\' || c == u'"')
            out += u'\\';
        out += c;
    }
    out += u'"';
    return out;
}

// Parses a quoted text starting at `pos` (on the opening quote); `pos` ends after the closing one.
bool parseQuoted(const QString& line, qsizetype& pos, QString& text)
{
    if (pos >= line.size() || line[pos] != u'"')
        return false;
    text.clear();
    for (++pos; pos < line.size(); ++pos) {
        const QChar c = line[pos];
        if (c == u'"') {
            ++pos;
            return true;
        }
        if (c == u'\\' && pos + 1 < line.size() && (line[pos + 1] == u'\\' || line[pos + 1] == u'"'))
            ++pos;
        text += line[pos];
    }
    return false;
}

bool parseHexBytes(QStringView list, QByteArray& bytes)
{
    bytes.clear();
    if (list.trimmed().isEmpty())
        return true;
    for (QStringView token : list.split(u',')) {
        bool ok = false;
        const uint b = token.trimmed().toUInt(&ok, 16);
        if (!ok || b > 0xFF || token.trimmed().size() > 2)
            return false;
        bytes.append(char(b));
    }
    return true;
}

struct Value
{
    int type = 0;
    QString text;
    quint32 number = 0;
    QByteArray bytes;
};

bool parseData(QStringView data, Value& value)
{
    data = data.trimmed();
    if (data == u"-") {
        value.type = kTypeDeleted;
        return true;
    }
    if (data.startsWith(u'"')) {
        const QString s = data.toString();
        qsizetype pos = 0;
        if (!parseQuoted(s, pos, value.text) || pos != s.size())
            return false;
        value.type = kTypeText;
        return true;
    }
    if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = data.mid(6);
        bool ok = false;
        value.number = digits.toUInt(&ok, 16);
        if (!ok || digits.isEmpty() || digits.size() > 8 || digits.startsWith(u'+') || digits.startsWith(u'-'))
            return false;
        value.type = kTypeNumber;
        return true;
    }
    if (data.startsWith(u"hex:", Qt::CaseInsensitive)) {
        if (!parseHexBytes(data.mid(4), value.bytes))
            return false;
        value.type = kTypeBytes;
        return true;
    }
    if (data.startsWith(u"hex(", Qt::CaseInsensitive)) {
        const qsizetype close = data.indexOf(u"):");
        bool ok = false;
        const int type = close > 4 ? data.mid(4, close - 4).toInt(&ok, 16) : 0;
        if (!ok || !parseHexBytes(data.mid(close + 2), value.bytes))
            return false;
        value.type = type;
        // Texts and numbers that another program wrote in the general form.
        if (type == kTypeText) {
            const qsizetype nul = value.bytes.indexOf('\0');
            value.text = QString::fromUtf8(nul >= 0 ? value.bytes.left(nul) : value.bytes);
        } else if (type == kTypeNumber) {
            if (value.bytes.size() != 4)
                return false;
            const auto* b = reinterpret_cast<const uchar*>(value.bytes.constData());
            value.number = quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
        }
        return true;
    }
    return false;
}

QString formatValueLine(const QString& name, const QString& data)
{
    return (name.isEmpty() ? QStringLiteral("@") : escapeQuoted(name)) + u'=' + data;
}

QString hexList(const QByteArray& bytes)
{
    QStringList parts;
    parts.reserve(bytes.size());
    for (char b : bytes)
        parts << QStringLiteral("%1").arg(uint(uchar(b)), 2, 16, QLatin1Char('0'));
    return parts.join(u',');
}

QString textData(const QString& text)
{
    // A line break inside a quoted text would end the line; such texts take the general form.
    if (text.contains(u'\n') || text.contains(u'\r'))
        return QStringLiteral("hex(1):") + hexList(text.toUtf8());
    return escapeQuoted(text);
}

// The store as its lines. Lines that are neither a key nor a well-formed value (comments, the
// header, damaged lines) are kept as they are and ignored when reading.
class RegistryDocument
{
public:
    struct Line
    {
        QString text;
        QByteArray raw; // the line's bytes in the file, line end included
        bool isSection = false;
        bool isValue = false;
        QString section; // the key the line belongs to; for a key line its own
        QString name;
        Value value;
    };

    static RegistryDocument parse(const QByteArray& content)
    {
        RegistryDocument doc;
        // Physical lines with their own line ends, so that lines we do not change go back byte for
        // byte: another program's key may hold bytes in any encoding, CR LF or LF.
        QList<QByteArray> physical;
        for (qsizetype start = 0; start < content.size();) {
            const qsizetype nl = content.indexOf('\n', start);
            const qsizetype end = nl < 0 ? content.size() : nl + 1;
            physical.append(content.mid(start, end - start));
            start = end;
        }
        for (const QByteArray& line : std::as_const(physical)) {
            if (line.endsWith('\n')) {
                doc.m_lineEnd = line.endsWith("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
                break;
            }
        }
        const auto decode = [&](qsizetype i) {
            QByteArray bytes = physical[i];
            if (i == 0 && bytes.startsWith("\xEF\xBB\xBF"))
                bytes.remove(0, 3);
            while (bytes.endsWith('\n') || bytes.endsWith('\r'))
                bytes.chop(1);
            return QString::fromUtf8(bytes);
        };
        QString section;
        for (qsizetype i = 0; i < physical.size(); ++i) {
            QByteArray raw = physical[i];
            QString logical = decode(i);
            // Long byte lists continue on the next line after a trailing backslash.
            while (logical.trimmed().endsWith(u'\\') && logical.contains(QStringLiteral("=hex")) &&
                   i + 1 < physical.size()) {
                logical = logical.trimmed();
                logical.chop(1);
                logical += decode(++i).trimmed();
                raw += physical[i];
            }
            Line line = makeLine(logical, section);
            line.raw = raw;
            doc.lines.append(line);
        }
        return doc;
    }

    QByteArray serialize() const
    {
        QByteArray out;
        for (const Line& line : lines)
            out += line.raw;
        return out;
    }

    std::optional<Value> find(const QString& section, const QString& name) const
    {
        std::optional<Value> found;
        for (const Line& line : lines) {
            if (line.isValue && sameKey(line.section, section) && sameKey(line.name, name))
                found = line.value;
        }
        if (found && found->type == kTypeDeleted)
            return std::nullopt;
        return found;
    }

    void setValue(const QString& section, const QString& name, const QString& data)
    {
        QString current = section;
        Line line = newLine(formatValueLine(name, data), current);
        qsizetype last = -1;
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (!isValueOf(i, section, name))
                continue;
            if (last < 0) {
                last = i;
                lines[i] = line;
            } else {
                lines.removeAt(i);
            }
        }
        if (last >= 0)
            return;
        const qsizetype header = lastSectionLine(section);
        if (header < 0) {
            QString none;
            if (lines.isEmpty())
                lines.append(newLine(QStringLiteral("REGEDIT4"), none));
            terminate(lines.size() - 1);
            if (!lines.back().text.trimmed().isEmpty())
                lines.append(newLine(QString(), none));
            lines.append(newLine(u'[' + section + u']', current));
            lines.append(line);
            lines.append(newLine(QString(), current));
            return;
        }
        qsizetype insertAt = header + 1;
        for (qsizetype i = header + 1; i < lines.size() && !lines[i].isSection; ++i) {
            if (!lines[i].text.trimmed().isEmpty())
                insertAt = i + 1;
        }
        terminate(insertAt - 1);
        lines.insert(insertAt, line);
    }

    void removeValue(const QString& section, const QString& name)
    {
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (isValueOf(i, section, name))
                lines.removeAt(i);
        }
    }

    // The key with everything in it and every key below it.
    void removeKey(const QString& section)
    {
        const QString prefix = section + u'\\';
        QList<Line> kept;
        bool dropping = false;
        for (const Line& line : std::as_const(lines)) {
            if (line.isSection)
                dropping = sameKey(line.section, section) || line.section.startsWith(prefix, Qt::CaseInsensitive);
            if (!dropping)
                kept.append(line);
        }
        lines = kept;
    }

    QStringList subKeys(const QString& section) const
    {
        const QString prefix = section + u'\\';
        QStringList names;
        for (const Line& line : lines) {
            if (!line.isSection || !line.section.startsWith(prefix, Qt::CaseInsensitive))
                continue;
            const QString child = line.section.mid(prefix.size()).section(u'\\', 0, 0);
            if (!child.isEmpty() && !names.contains(child, Qt::CaseInsensitive))
                names.append(child);
        }
        return names;
    }

    QList<QPair<QString, qint32>> values(const QString& section) const
    {
        QList<QPair<QString, qint32>> result;
        for (const Line& line : lines) {
            if (!line.isValue || !sameKey(line.section, section))
                continue;
            const auto same = [&](const QPair<QString, qint32>& v) { return sameKey(v.first, line.name); };
            result.removeIf(same);
            if (line.value.type != kTypeDeleted)
                result.append({line.name, line.value.type});
        }
        return result;
    }

    QList<Line> lines;

private:
    // A line of our own making, with the line end the file already uses.
    Line newLine(const QString& text, QString& section) const
    {
        Line line = makeLine(text, section);
        line.raw = text.toUtf8() + m_lineEnd;
        return line;
    }

    // A last line without a line end gets one before a line is put after it.
    void terminate(qsizetype i)
    {
        if (i >= 0 && i < lines.size() && !lines[i].raw.endsWith('\n'))
            lines[i].raw += m_lineEnd;
    }

    QByteArray m_lineEnd = "\n";

    bool isValueOf(qsizetype i, const QString& section, const QString& name) const
    {
        const Line& line = lines[i];
        return line.isValue && sameKey(line.section, section) && sameKey(line.name, name);
    }

    qsizetype lastSectionLine(const QString& section) const
    {
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (lines[i].isSection && sameKey(lines[i].section, section))
                return i;
        }
        return -1;
    }

    static Line makeLine(const QString& text, QString& section)
    {
        Line line;
        line.text = text;
        const QString trimmed = text.trimmed();
        if (trimmed.startsWith(u'[') && trimmed.endsWith(u']')) {
            // "[-key]" deletes a key in an export; its values belong to no key.
            const QString key = trimmed.mid(1, trimmed.size() - 2);
            section = key.startsWith(u'-') ? QString() : key;
            line.isSection = true;
            line.section = section;
            return line;
        }
        line.section = section;
        if (section.isEmpty())
            return line;
        qsizetype pos = 0;
        if (trimmed.startsWith(u'@')) {
            pos = 1;
        } else if (!parseQuoted(trimmed, pos, line.name)) {
            return line;
        }
        while (pos < trimmed.size() && trimmed[pos].isSpace())
            ++pos;
        if (pos >= trimmed.size() || trimmed[pos] != u'=')
            return line;
        line.isValue = parseData(QStringView(trimmed).mid(pos + 1), line.value);
        return line;
    }
};

RegistryDocument loadDocument(const QString& path)
{
    QByteArray content;
    readWholeFile(path, content);
    return RegistryDocument::parse(content);
}

// A store file that its owner made read-only is a decision, not an accident: it is not replaced.
void refuseReadOnly(const QString& path)
{
    struct stat st
    {
    };
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0)
        return;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(name.constData(), W_OK) != 0)
        throw LaError::runtime(ErrNo::PermissionDenied,
                               QStringLiteral("Die Einstellungsdatei '%1' ist schreibgeschützt; "
                                              "die Einstellungen werden nicht gespeichert.")
                                   .arg(path));
}

template <typename Change> void changeStore(Change&& change)
{
    const QString name = clsRegistryHandler::storeFilePath();
    makeStoreDirectory(name);
    StoreLock lock(name + QStringLiteral(".lock"));
    const QString path = followLinks(name);
    removeStaleTempFiles(path);
    QByteArray content;
    readWholeFile(path, content);
    RegistryDocument doc = RegistryDocument::parse(content);
    const QByteArray before = doc.serialize();
    change(doc);
    const QByteArray after = doc.serialize();
    // Nothing changed (deleting what is not there): the file is left as it is, or not made at all.
    if (after == before)
        return;
    refuseReadOnly(path);
    replaceAtomically(path, after);
}

void checkName(const QString& name)
{
    // A line break in a name would let it start a line of its own in the store.
    if (name.contains(u'\n') || name.contains(u'\r') || name.contains(QChar(0)))
        throw LaError::runtime(ErrNo::InvalidCall);
}

} // namespace

clsRegistryHandler::clsRegistryHandler()
{
    try {
        m_keyPath = QStringLiteral("Software\\Tessar Vozavureda\\") + appTitle();
        m_rootKey = HKEY_CURRENT_USER_;
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.Class_Initialize"));
    }
}

QString clsRegistryHandler::keyPath() const
{
    return m_keyPath;
}

QString clsRegistryHandler::storeFilePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty())
            home = QDir::homePath();
        base = home + QStringLiteral("/.config");
    }
    return base + QStringLiteral("/Tessar Vozavureda/registry.reg");
}

void clsRegistryHandler::deleteKey()
{
    try {
        const QString section = rootName(m_rootKey) + u'\\' + m_keyPath;
        changeStore([&](RegistryDocument& doc) { doc.removeKey(section); });
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.deleteKey"));
    }
}

void clsRegistryHandler::deleteValue(const QString& Name)
{
    try {
        const QString section = rootName(m_rootKey) + u'\\' + m_keyPath;
        changeStore([&](RegistryDocument& doc) { doc.removeValue(section, Name); });
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.deleteValue"));
    }
}

QStringList clsRegistryHandler::GetAllKeys(quint32 hKey)
{
    try {
        const QString root = rootName(hKey);
        if (root.isEmpty())
            return {};
        return loadDocument(storeFilePath()).subKeys(root + u'\\' + m_keyPath);
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.GetAllKeys"));
    }
}

QList<QPair<QString, qint32>> clsRegistryHandler::GetAllValues(quint32 hKey)
{
    try {
        const QString root = rootName(hKey);
        if (root.isEmpty())
            return {};
        return loadDocument(storeFilePath()).values(root + u'\\' + m_keyPath);
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.GetAllValues"));
    }
}

qint32 clsRegistryHandler::GetSettingLong(const QString& Name, qint32 Default)
{
    try {
        const auto value = loadDocument(storeFilePath()).find(rootName(m_rootKey) + u'\\' + m_keyPath, Name);
        if (value && value->type == kTypeNumber)
            return qint32(value->number);
        return Default;
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.GetSettingLong"));
    }
}

std::optional<QByteArray> clsRegistryHandler::GetSettingByte(const QString& Name, qint32)
{
    try {
        const auto value = loadDocument(storeFilePath()).find(rootName(m_rootKey) + u'\\' + m_keyPath, Name);
        if (value && value->type == kTypeBytes)
            return value->bytes;
        return std::nullopt;
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.GetSettingByte"));
    }
}

QString clsRegistryHandler::GetSettingString(const QString& Name, const QString& Default)
{
    try {
        const auto value = loadDocument(storeFilePath()).find(rootName(m_rootKey) + u'\\' + m_keyPath, Name);
        if (value && value->type == kTypeText)
            return value->text;
        return Default;
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.GetSettingString"));
    }
}

void clsRegistryHandler::SaveSettingByte(const QString& Name, const QByteArray& Data)
{
    try {
        checkName(Name);
        const QString section = rootName(m_rootKey) + u'\\' + m_keyPath;
        changeStore(
            [&](RegistryDocument& doc) { doc.setValue(section, Name, QStringLiteral("hex:") + hexList(Data)); });
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.SaveSettingByte"));
    }
}

void clsRegistryHandler::SaveSettingLong(const QString& Name, qint32 Data)
{
    try {
        checkName(Name);
        const QString section = rootName(m_rootKey) + u'\\' + m_keyPath;
        const QString data = QStringLiteral("dword:%1").arg(quint32(Data), 8, 16, QLatin1Char('0'));
        changeStore([&](RegistryDocument& doc) { doc.setValue(section, Name, data); });
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.SaveSettingLong"));
    }
}

void clsRegistryHandler::SaveSettingString(const QString& Name, const QString& Data)
{
    try {
        checkName(Name);
        const QString section = rootName(m_rootKey) + u'\\' + m_keyPath;
        changeStore([&](RegistryDocument& doc) { doc.setValue(section, Name, textData(Data)); });
    } catch (...) {
        raiseError(QStringLiteral("clsRegistryHandler.SaveSettingString"));
    }
}
