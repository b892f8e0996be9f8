#include "platform/clsShell.h"

#include "platform/LaError.h"
#include "platform/ProcessGroup.h"
#include "platform/RunCancel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

namespace {

constexpr qint64 kChunkSize = 10240;

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The pipe cuts the output anywhere, also inside a multi-byte character; the incomplete end of one
// chunk is kept back and decoded with the next.
class Utf8ChunkDecoder
{
public:
    QString decode(const QByteArray& chunk)
    {
        QByteArray bytes = m_pending + chunk;
        const qsizetype complete = completeLength(bytes);
        m_pending = bytes.mid(complete);
        return QString::fromUtf8(bytes.constData(), complete);
    }

    // What is left at the end is a damaged character; it shows as a replacement character.
    QString finish()
    {
        const QString rest = QString::fromUtf8(m_pending);
        m_pending.clear();
        return rest;
    }

private:
    static qsizetype completeLength(const QByteArray& bytes)
    {
        const qsizetype size = bytes.size();
        for (qsizetype back = 1; back <= 4 && back <= size; ++back) {
            const auto b = static_cast<uchar>(bytes[size - back]);
            if ((b & 0xC0) == 0x80)
                continue;
            const int needed = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            return back < needed && b < 0xF8 ? size - back : size;
        }
        return size;
    }

    QByteArray m_pending;
};

} // namespace

QStringList clsShell::splitCommandLine(const QString& commandLine)
{
    QStringList words;
    const qsizetype n = commandLine.size();
    qsizetype i = 0;
    while (i < n && isBlank(commandLine[i]))
        ++i;
    if (i >= n)
        return words;

    // The program name knows no escapes: quotes only group, so "C:\dir\" ends where it seems to.
    QString program;
    bool quoted = false;
    for (; i < n; ++i) {
        const QChar c = commandLine[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && isBlank(c))
            break;
        else
            program += c;
    }
    words << program;

    for (;;) {
        while (i < n && isBlank(commandLine[i]))
            ++i;
        if (i >= n)
            break;
        QString word;
        bool inQuotes = false;
        while (i < n && (inQuotes || !isBlank(commandLine[i]))) {
            const QChar c = commandLine[i];
            if (c == u'\\') {
                qsizetype count = 0;
                while (i < n && commandLine[i] == u'\\') {
                    ++count;
                    ++i;
                }
                if (i < n && commandLine[i] == u'"') {
                    word += QString(count / 2, u'\\');
                    if (count % 2 != 0) {
                        word += u'"';
                        ++i;
                    }
                } else {
                    word += QString(count, u'\\');
                }
            } else if (c == u'"') {
                if (inQuotes && i + 1 < n && commandLine[i + 1] == u'"') {
                    word += u'"';
                    i += 2;
                } else {
                    inQuotes = !inQuotes;
                    ++i;
                }
            } else {
                word += c;
                ++i;
            }
        }
        words << word;
    }
    return words;
}

void clsShell::ExecAndCapture(const QString& sCommandLine, const QString& sCurrentDirectory, QString& ret, bool)
{
    // There are no windows to hide or show here, so the last argument changes nothing.
    m_exitStatus = kNotStarted;
    QStringList arguments = splitCommandLine(sCommandLine);
    if (arguments.isEmpty() || arguments.front().isEmpty()) {
        ret.clear();
        return;
    }
    QString program = arguments.takeFirst();
    // A relative program path means the caller's directory, not the child's working directory.
    if (program.contains(u'/'))
        program = QFileInfo(program).absoluteFilePath();

    if (m_cancel)
        m_cancel->throwIfRequested();

    QProcess process;
    runInOwnProcessGroup(process);
    process.setProgram(program);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    if (!sCurrentDirectory.isEmpty())
        process.setWorkingDirectory(sCurrentDirectory);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        ret.clear();
        return;
    }
    const qint64 group = process.processId();

    // No time limit: a formatter run over hundreds of certificates may take long. The wait runs the
    // event loop, so that the window stays usable and a cancel request is seen at once.
    QEventLoop wait;
    bool outputEnded = false;
    const auto endOfOutput = [&] {
        outputEnded = true;
        wait.quit();
    };
    QObject::connect(&process, &QProcess::readyRead, &wait, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::readChannelFinished, &wait, endOfOutput);
    QObject::connect(&process, &QProcess::finished, &wait, endOfOutput);
    if (m_cancel)
        QObject::connect(m_cancel, &RunCancel::requested, &wait, &QEventLoop::quit);

    QString collected;
    Utf8ChunkDecoder decoder;
    for (;;) {
        QCoreApplication::processEvents();
        if (m_cancel && m_cancel->isRequested()) {
            m_cancel->takeUp();
            endProcessGroup(process, group);
            throw RunCancel::cancelledError();
        }
        const QByteArray chunk = process.read(kChunkSize);
        if (!chunk.isEmpty()) {
            collected += QStringLiteral("\r\n") + decoder.decode(chunk);
            continue;
        }
        if (outputEnded)
            break;
        // Nothing is buffered and no event is handled between the read above and this wait, so
        // a signal that data or the end arrived cannot be missed.
        wait.exec();
    }
    collected += decoder.finish();
    // The child is reaped here, not left to the destructor, which would kill a straggler.
    process.waitForFinished(-1);
    // For a program ended by a signal QProcess gives the signal number as its exit code.
    m_exitStatus = process.exitStatus() == QProcess::CrashExit ? 128 + process.exitCode() : process.exitCode();
    ret = collected;
}
