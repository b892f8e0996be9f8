#pragma once

#include "platform/Variant.h"

#include <QList>
#include <QString>
#include <memory>

class DbConnection;
class DbRecordSet;

// The record reader: one SELECT over one table of the payroll library, on a connection of its own
// or one borrowed from another reader, read row by row.
class clsADOConnect
{
public:
    clsADOConnect();
    ~clsADOConnect(); // the release: closes the result set; closes the connection unless setLibl ran
    clsADOConnect(const clsADOConnect&) = delete;
    clsADOConnect& operator=(const clsADOConnect&) = delete;

    // Opens the query. On failure shows the error box "clsADOConnect.init" and returns false.
    // `parameters` are bound to `?` markers in `strWhere`, so that no value is pasted into SQL text.
    bool init(const QString& strFile,
              const QString& strSelect = {},
              const QString& strWhere = {},
              const QString& strSort = {},
              const QList<Variant>& parameters = {});

    // The reader's end-of-file state (EOF is a macro in C++, hence the name).
    bool isEOF() const;
    QString getValue() const;
    std::shared_ptr<DbConnection> getConnection() const;
    std::shared_ptr<DbRecordSet> getRecordset() const;
    int AbsolutePosition() const;
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void setConnection(std::shared_ptr<DbConnection> connect);
    void setLibl(const QString& Libl);
    void setSource(const QString& Source);
    // How long a statement or its fetch may wait for a host that stops answering (0: no limit); used
    // only when the reader opens a connection of its own.
    void setTimeout(int seconds) { m_timeoutSeconds = seconds; }

    // The statement text init builds (without sending it), for tests.
    static QString buildStatement(const QString& library,
                                  const QString& strFile,
                                  const QString& strSelect,
                                  const QString& strWhere,
                                  const QString& strSort);

private:
    std::shared_ptr<DbRecordSet> m_recordset;
    std::shared_ptr<DbConnection> m_connection;
    bool m_liblSet = false;
    QString m_library;
    QString m_source;
    int m_timeoutSeconds = 0;
};
