#pragma once

#include <QString>

// Message box styles and answers, as numbers: a style is a button set plus an icon.
namespace MsgStyle {
inline constexpr int OkOnly = 0;
inline constexpr int OkCancel = 1;
inline constexpr int YesNo = 4;
inline constexpr int Critical = 16;
inline constexpr int Question = 32;
inline constexpr int Exclamation = 48;
inline constexpr int Information = 64;
inline constexpr int ButtonMask = 0x0f;
inline constexpr int IconMask = 0x70;
} // namespace MsgStyle

namespace MsgAnswer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MsgAnswer

// Everything that asks the user something or tells the user something in a modal way goes through
// this interface: the window layer shows real dialogs, the headless run writes to standard error and
// answers from its options, tests record and answer.
class Prompt
{
public:
    virtual ~Prompt();

    // A modal message box; returns MsgAnswer::Ok or MsgAnswer::Cancel, for MsgStyle::YesNo
    // MsgAnswer::Yes or MsgAnswer::No.
    virtual int messageBox(const QString& text, int style, const QString& title) = 0;

    // The file-save dialog. `filter` is in Qt's syntax ("CSV-Datei (*.csv);;Alle Dateien (*)").
    // Returns the chosen name, or `initialName` unchanged when the user cancels.
    virtual QString saveFileName(const QString& title, const QString& filter, const QString& initialName) = 0;

    // The login dialog for an ODBC connection to `dataSource`, which it names; fills user and password
    // with what was typed. False when the user closed the dialog without OK: no connection is to be
    // tried then.
    virtual bool login(const QString& dataSource, QString& user, QString& password) = 0;

    // The check before a run found errors: `summary` says how many, `findings` has one line per error.
    // True when the run is to write all the same. By default a Yes/No box with the first ten findings
    // whose default answer is No.
    virtual bool writeDespiteCheckErrors(const QString& summary, const QStringList& findings);
};

// The prompt in use. Until one is installed, a prompt that writes boxes to standard error and
// answers Cancel (and an empty login) stands in.
Prompt& prompt();

// Installs `p` for as long as the object lives and restores the previous one afterwards.
class ScopedPrompt
{
public:
    explicit ScopedPrompt(Prompt& p);
    ~ScopedPrompt();
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    Prompt* m_previous;
};
