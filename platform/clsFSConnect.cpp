#include "platform/clsFSConnect.h"

#include "platform/LaError.h"
#include "platform/Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FileCloser
{
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

constexpr int kModeWrite = 0;
constexpr int kModeRead = 1;

bool directoryExists(const QString& file)
{
    struct stat st
    {
    };
    const QByteArray dir = QFile::encodeName(QFileInfo(file).absolutePath());
    return ::stat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// In a directory that others may write to (the temporary directory, a shared folder) a name can be
// a symbolic link planted by another user; following it would let that user choose which file the
// program writes or reads.
bool directoryWritableByOthers(const QString& file)
{
    struct stat st
    {
    };
    const QByteArray dir = QFile::encodeName(QFileInfo(file).absolutePath());
    return ::stat(dir.constData(), &st) == 0 && (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

// A missing file while creating one, or in a missing directory, means the path is wrong.
LaError fileError(int code, const QString& file, bool creating)
{
    if (code == ENOENT && (creating || !directoryExists(file)))
        return LaError::runtime(ErrNo::PathNotFound,
                                errorDescription(ErrNo::PathNotFound) + QStringLiteral(": ") + file);
    return ::fileError(code, file);
}

FilePtr openFile(const QString& file, int mode, bool ownerOnly = false)
{
    int flags = O_CLOEXEC | (mode == kModeWrite ? (O_RDWR | O_CREAT | O_TRUNC) : O_RDONLY);
    if (directoryWritableByOthers(file) || ownerOnly)
        flags |= O_NOFOLLOW;
    // A new file of our own or nothing: whatever another user slipped under the name since it was
    // deleted makes the open fail instead of receiving the text.
    if (ownerOnly)
        flags |= O_EXCL;
    const QByteArray name = QFile::encodeName(file);
    const int fd = ::open(name.constData(), flags, ownerOnly ? 0600 : 0666);
    if (fd < 0) {
        const int code = errno;
        if (code == ELOOP)
            throw LaError::runtime(ErrNo::PathFileAccess,
                                   errorDescription(ErrNo::PathFileAccess) + QStringLiteral(": ") + file +
                                       QStringLiteral(" ist eine symbolische Verknüpfung in einem fremd beschreibbaren "
                                                      "Verzeichnis."));
        throw fileError(code, file, mode == kModeWrite);
    }
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw fileError(EISDIR, file, false);
    }
    std::FILE* f = ::fdopen(fd, mode == kModeWrite ? "r+b" : "rb");
    if (!f) {
        const int code = errno;
        ::close(fd);
        throw fileError(code, file, false);
    }
    // Unbuffered writes: a failing write is reported by the update that made it, and nothing is
    // left in a buffer to be written twice or lost at close.
    if (mode == kModeWrite)
        std::setvbuf(f, nullptr, _IONBF, 0);
    return FilePtr(f);
}

} // namespace

struct clsFSConnect::Impl
{
    int mode = 0;
    QString fileName;
    bool isOpen = false;
    int position = 0;
    bool eof = false;
    QString value;
    FilePtr file;

    void close()
    {
        file.reset();
        isOpen = false;
    }

    bool atEnd()
    {
        const int c = std::getc(file.get());
        if (c == EOF) {
            if (std::ferror(file.get()))
                throw fileError(errno, fileName, false);
            return true;
        }
        std::ungetc(c, file.get());
        return false;
    }

    // A line ends at CR or CR LF; a lone LF belongs to the text.
    QString readLine()
    {
        QByteArray bytes;
        std::FILE* f = file.get();
        for (;;) {
            const int c = std::getc(f);
            if (c == EOF) {
                if (std::ferror(f))
                    throw fileError(errno, fileName, false);
                break;
            }
            if (c == '\r') {
                const int next = std::getc(f);
                if (next != '\n' && next != EOF)
                    std::ungetc(next, f);
                break;
            }
            bytes.append(char(c));
        }
        return fromWindows1252(bytes);
    }
};

clsFSConnect::clsFSConnect()
    : d(std::make_unique<Impl>())
{
}

clsFSConnect::~clsFSConnect()
{
    // A close error cannot be reported from here; every update has already reached the file and been checked.
    d->close();
}

int clsFSConnect::AbsolutePosition() const
{
    return d->position;
}

bool clsFSConnect::isEOF() const
{
    try {
        return d->isOpen ? d->eof : true;
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.EOF"));
    }
}

QString clsFSConnect::getValue() const
{
    try {
        return d->value;
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.getValue"));
    }
}

QString clsFSConnect::fileName() const
{
    return d->fileName;
}

int clsFSConnect::descriptor() const
{
    return d->file ? ::fileno(d->file.get()) : -1;
}

void clsFSConnect::init(const QString& file, qint64 Mode, bool ownerOnly)
{
    try {
        d->eof = false;
        d->fileName = file;
        if (Mode < SHRT_MIN || Mode > SHRT_MAX)
            throw LaError::runtime(ErrNo::Overflow);
        d->mode = int(Mode);
        // One object owns one file: a second init lets go of the first instead of leaking it.
        d->close();
        d->position = 0;
        if (d->mode == kModeRead) {
            d->file = openFile(file, kModeRead);
            d->isOpen = true;
            MoveNext();
        } else if (d->mode == kModeWrite) {
            // The deletion's errors do not matter: the open below truncates, and reports what counts.
            // Only files and links are deleted; a device or pipe of that name is written to.
            const QByteArray name = QFile::encodeName(file);
            struct stat st
            {
            };
            if (::lstat(name.constData(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)))
                ::unlink(name.constData());
            d->file = openFile(file, kModeWrite, ownerOnly);
            d->isOpen = true;
        }
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.init"));
    }
}

void clsFSConnect::MoveFirst()
{
    try {
        if (d->mode == kModeRead && d->isOpen)
            init(d->fileName, kModeRead);
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.MoveFirst"));
    }
}

void clsFSConnect::MoveLast()
{
    try {
        if (d->mode == kModeRead && d->isOpen) {
            while (!isEOF())
                MoveNext();
        }
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.MoveLast"));
    }
}

void clsFSConnect::MoveNext()
{
    try {
        if (isEOF() || d->mode != kModeRead || !d->isOpen)
            return;
        d->eof = d->atEnd();
        if (!d->eof)
            d->value = d->readLine();
        if (d->position == INT_MAX)
            throw LaError::runtime(ErrNo::Overflow);
        ++d->position;
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.MoveNext"));
    }
}

void clsFSConnect::setValue(const QString& Str)
{
    try {
        d->value = Str;
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.setValue"));
    }
}

void clsFSConnect::update()
{
    try {
        if (!d->isOpen || d->mode != kModeWrite)
            throw LaError::runtime(ErrNo::BadFileNumber);
        const QByteArray bytes = toWindows1252(d->value);
        if (bytes.isEmpty())
            return;
        std::FILE* f = d->file.get();
        errno = 0;
        if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) != size_t(bytes.size())) {
            const int code = errno ? errno : EIO;
            std::clearerr(f);
            throw fileError(code, d->fileName, false);
        }
    } catch (...) {
        raiseError(QStringLiteral("clsFSConnect.update"));
    }
}
