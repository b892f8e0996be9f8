#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The per-user settings store: named values of three kinds (number, text, bytes) under the
// application's key. On Linux the store is the file
// ${XDG_CONFIG_HOME:-$HOME/.config}/Tessar Vozavureda/registry.reg in the text form of a registry
// export. Nothing is cached; every write replaces the file atomically under a lock. Lines the program
// does not change are written back byte for byte; a link at the store's name is followed, a
// read-only store file is never replaced, and a lock held elsewhere is waited for a few seconds only.
class clsRegistryHandler
{
public:
    // Root keys as numbers, as the registry names them.
    static constexpr quint32 HKEY_CURRENT_USER_ = 0x80000001u;

    clsRegistryHandler();

    void deleteKey();
    void deleteValue(const QString& Name);
    QStringList GetAllKeys(quint32 hKey);
    // Per value its name and its registry type (1 text, 3 bytes, 4 number).
    QList<QPair<QString, qint32>> GetAllValues(quint32 hKey);
    qint32 GetSettingLong(const QString& Name, qint32 Default = 0);
    // The bytes, or nothing when the value is missing or of another kind.
    std::optional<QByteArray> GetSettingByte(const QString& Name, qint32 Default = 0);
    QString GetSettingString(const QString& Name, const QString& Default = {});
    void SaveSettingByte(const QString& Name, const QByteArray& Data);
    void SaveSettingLong(const QString& Name, qint32 Data);
    void SaveSettingString(const QString& Name, const QString& Data);

    // The key path under the root key ("Software\Tessar Vozavureda\" and the application title).
    QString keyPath() const;
    // The store file's path.
    static QString storeFilePath();

private:
    QString m_keyPath;
    quint32 m_rootKey;
};
