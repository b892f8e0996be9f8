#include "platform/LaError.h"

#include "platform/AppIdentity.h"
#include "platform/Prompt.h"

#include <cerrno>
#include <filesystem>
#include <new>

namespace {

std::string whatText(int number, const QString& description)
{
    return QStringLiteral("%1: %2").arg(number).arg(description).toStdString();
}

} // namespace

int errorNumberForErrno(int code)
{
    switch (code) {
    case ENOENT:
        return ErrNo::FileNotFound;
    case ENOTDIR:
        return ErrNo::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
        return ErrNo::PermissionDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ErrNo::DiskFull;
    case EIO:
        return ErrNo::DeviceIo;
    default:
        return ErrNo::PathFileAccess;
    }
}

LaError fileError(int errnoCode, const QString& file)
{
    const int number = errorNumberForErrno(errnoCode);
    QString description = errorDescription(number) + QStringLiteral(": ") + file;
    // A folder where a file was meant is a slip of the user's that the number alone does not name.
    if (errnoCode == EISDIR)
        description += QStringLiteral(" ist ein Ordner, keine Datei");
    return LaError::runtime(number, description);
}

QString errorDescription(int number)
{
    switch (number) {
    case ErrNo::InvalidCall:
        return QStringLiteral("Unzulässiger Prozeduraufruf oder ungültiges Argument");
    case ErrNo::Overflow:
        return QStringLiteral("Überlauf");
    case ErrNo::OutOfMemory:
        return QStringLiteral("Nicht genügend Speicher");
    case ErrNo::Subscript:
        return QStringLiteral("Index außerhalb des gültigen Bereichs");
    case ErrNo::UserInterrupt:
        return QStringLiteral("Benutzerunterbrechung aufgetreten");
    case ErrNo::TypeMismatch:
        return QStringLiteral("Typen unverträglich");
    case ErrNo::BadFileNumber:
        return QStringLiteral("Dateiname oder -nummer falsch");
    case ErrNo::FileNotFound:
        return QStringLiteral("Datei nicht gefunden");
    case ErrNo::DeviceIo:
        return QStringLiteral("Fehler beim Lesen/Schreiben");
    case ErrNo::DiskFull:
        return QStringLiteral("Datenträger voll");
    case ErrNo::InputPastEnd:
        return QStringLiteral("Einlesen hinter Dateiende");
    case ErrNo::PermissionDenied:
        return QStringLiteral("Zugriff verweigert");
    case ErrNo::PathFileAccess:
        return QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
    case ErrNo::PathNotFound:
        return QStringLiteral("Pfad nicht gefunden");
    case ErrNo::ObjectNotSet:
        return QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt");
    case ErrNo::InvalidUseOfNull:
        return QStringLiteral("Unzulässige Verwendung von Null");
    case ErrNo::ItemNotFound:
        return QStringLiteral("Das Objekt entspricht nicht dem angeforderten Namen oder Ordinalwert.");
    case ErrNo::NoCurrentRecord:
        return QStringLiteral("BOF oder EOF ist gleich True, oder der aktuelle Datensatz wurde gelöscht.");
    default:
        return {};
    }
}

LaError::LaError(int number, QString source, QString description, QString helpFile, int helpContext)
    : std::runtime_error(whatText(number, description))
    , m_number(number)
    , m_source(std::move(source))
    , m_description(std::move(description))
    , m_helpFile(std::move(helpFile))
    , m_helpContext(helpContext)
{
}

LaError LaError::runtime(int number)
{
    return LaError(number, QString(), errorDescription(number));
}

LaError LaError::runtime(int number, const QString& description)
{
    return LaError(number, QString(), description);
}

LaError LaError::withLocation(const QString& location) const
{
    QString chain = location;
    if (!m_source.isEmpty())
        chain = location.isEmpty() ? m_source : location + QStringLiteral("\r\n") + m_source;
    return LaError(m_number, chain, m_description, m_helpFile, m_helpContext);
}

LaError toLaError(std::exception_ptr error)
{
    if (!error)
        return LaError::runtime(ErrNo::InvalidCall);
    try {
        std::rethrow_exception(error);
    } catch (const LaError& e) {
        return e;
    } catch (const std::overflow_error& e) {
        return LaError::runtime(ErrNo::Overflow);
    } catch (const std::out_of_range& e) {
        return LaError::runtime(ErrNo::Subscript);
    } catch (const std::bad_alloc&) {
        return LaError::runtime(ErrNo::OutOfMemory);
    } catch (const std::invalid_argument& e) {
        return LaError::runtime(ErrNo::TypeMismatch);
    } catch (const std::filesystem::filesystem_error& e) {
        const int number = errorNumberForErrno(e.code().value());
        return LaError::runtime(
            number, errorDescription(number) + QStringLiteral(": ") + QString::fromStdString(e.path1().string()));
    } catch (const std::exception& e) {
        return LaError::runtime(ErrNo::InvalidCall, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        return LaError::runtime(ErrNo::InvalidCall);
    }
}

void raiseError(const QString& location)
{
    throw toLaError(std::current_exception()).withLocation(location);
}

QString errorBoxTitle(const QString& location)
{
    return appTitle() + QStringLiteral(" (") + appVersionText() + QStringLiteral(") : ") + location;
}

QString errorBoxText(const LaError& error, const QString& extraText)
{
    // Sign-position form: a blank stands where a minus sign would.
    const QString number =
        error.number() < 0 ? QString::number(error.number()) : u' ' + QString::number(error.number());
    QString text = QStringLiteral("Fehlernummer: ") + number + QStringLiteral("\r\n");
    if (!error.source().isEmpty())
        text += error.source() + QStringLiteral("\r\n\r\n");
    if (!extraText.isEmpty())
        text += u'(' + extraText + QStringLiteral(")\r\n\r\n");
    return text + error.description();
}

void showError(int style, const QString& location, const QString& extraText)
{
    showError(toLaError(std::current_exception()), style, location, extraText);
}

void showError(const LaError& error, int style, const QString& location, const QString& extraText)
{
    prompt().messageBox(errorBoxText(error, extraText), style, errorBoxTitle(location));
}
