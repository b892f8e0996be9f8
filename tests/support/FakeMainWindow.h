#pragma once

#include "app/MainWindowView.h"
#include "platform/RunCancel.h"

#include <QStringList>
#include <functional>

// The main window's controls as plain members, for tests of the dispatch and the generators.
class FakeMainWindow : public MainWindowView
{
public:
    int transferButtonCount() const override { return 2; }
    bool transferButtonChecked(int index) const override { return index == medium; }
    QString txtSrcFile() const override { return srcFile; }
    QString txtLib() const override { return lib; }
    QString txtToFile() const override { return toFile; }
    bool optPDF() const override { return pdf; }
    bool opteLohnausweis() const override { return eLohnausweis; }
    bool chkOpenPDF() const override { return openPdf; }
    bool chkPassword() const override { return passwordChecked; }
    QString txtPDFPassword() const override
    {
        ++passwordReads;
        return password;
    }
    RunSelection runSelection() const override { return selection; }
    bool chkPerEmployee() const override { return perEmployee; }
    EmployeePasswordKind employeePasswordKind() const override { return employeeKind; }
    void setStatusText(const QString& text) override
    {
        statusTexts.append(text);
        if (onStatusText)
            onStatusText(text);
    }
    void setBusyCursor(bool busy) override { cursorBusy = busy; }
    RunCancel* runCancel() override { return &cancel; }
    void setFileProgress(qint64 done, qint64 started) override
    {
        fileProgress.append(QStringLiteral("%1/%2").arg(done).arg(started));
    }

    int medium = 1; // -1: no button set
    QString srcFile;
    QString lib;
    QString toFile;
    bool pdf = false;
    bool eLohnausweis = false;
    bool openPdf = false;
    bool passwordChecked = false;
    QString password;
    RunSelection selection;
    bool perEmployee = false;
    EmployeePasswordKind employeeKind = EmployeePasswordKind::Fixed;
    mutable int passwordReads = 0;
    QStringList statusTexts;
    std::function<void(const QString&)> onStatusText; // runs for each text, after it is recorded
    QStringList fileProgress;                         // "done/started"
    bool cursorBusy = false;
    RunCancel cancel;
};
