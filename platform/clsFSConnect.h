#pragma once

#include <QString>
#include <memory>

// A plain file written piece by piece (mode 0) or read line by line (mode 1), in Windows-1252,
// since these files go to Windows programs. Every operation throws LaError with its location
// ("clsFSConnect.<operation>") in front of the source chain.
class clsFSConnect
{
public:
    clsFSConnect();
    ~clsFSConnect(); // closes the file
    clsFSConnect(const clsFSConnect&) = delete;
    clsFSConnect& operator=(const clsFSConnect&) = delete;

    int AbsolutePosition() const;
    bool isEOF() const; // EOF is a macro in C++, hence the name
    QString getValue() const;
    // The name given to the last init, so that messages can point to the file.
    QString fileName() const;
    // The open file's descriptor, for a lock on it; -1 when no file is open.
    int descriptor() const;
    // `ownerOnly` (mode 0): the file is made anew, readable by its owner only, and never through a
    // link or into something another user put at the name in the meantime.
    void init(const QString& file, qint64 Mode, bool ownerOnly = false);
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void setValue(const QString& Str);
    void update();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
