#pragma once

#include "app/MainWindowView.h"

// The main window's settings for a benchmark run: OLE DB transfer, library LIB1, one output kind.
class BenchWindow : public MainWindowView
{
public:
    int transferButtonCount() const override { return 2; }
    bool transferButtonChecked(int index) const override { return index == 1; }
    QString txtSrcFile() const override { return source; }
    QString txtLib() const override { return QStringLiteral("LIB1"); }
    QString txtToFile() const override { return target; }
    bool optPDF() const override { return pdf; }
    bool opteLohnausweis() const override { return !pdf; }
    bool chkOpenPDF() const override { return false; }
    bool chkPassword() const override { return passwordChecked; }
    QString txtPDFPassword() const override { return password; }
    bool chkPerEmployee() const override { return perEmployee; }
    EmployeePasswordKind employeePasswordKind() const override { return employeeKind; }
    void setStatusText(const QString& text) override { lastStatus = text; }
    void setBusyCursor(bool) override {}

    bool pdf = false;
    bool passwordChecked = false;
    QString password;
    bool perEmployee = false;
    EmployeePasswordKind employeeKind = EmployeePasswordKind::Fixed;
    QString source;
    QString target;
    QString lastStatus;
};
