#pragma once

// Fixture of the main window tests (tests/app/frmMainTest.cpp): the window on a store and temporary
// directory of its own, its controls by name, and the texts of the parameter boxes.

#include "app/frmMain.h"
#include "platform/clsRegistryHandler.h"
#include "support/AppTestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <functional>
#include <memory>
#include <utility>

inline const QString kNoSource = QStringLiteral("Bei der ausgewählten Option muss ein Pfad angegeben werden.");
inline const QString kNoFile =
    QStringLiteral("Es muss ein Verzeichnis und ein Dateiname für die DTA-Datei angegeben werden.");
inline const QString kNoLibrary = QStringLiteral("Es muss eine Bibliothek angegeben werden.");
inline const QString kNoPassword = QStringLiteral("Für \"Datei schützen\" muss ein Passwort angegeben werden.");
inline const QString kBadLibrary =
    QStringLiteral("Die Bibliothek darf nur Buchstaben, Ziffern und die Zeichen _ $ # @ enthalten, "
                   "nicht mit einer Ziffer beginnen und höchstens 128 Zeichen lang sein.");

// Answers like RecordingPrompt and lets a test act while a box is open, as a user could while the
// run waits.
class HookPrompt : public RecordingPrompt
{
public:
    int messageBox(const QString& text, int style, const QString& title) override
    {
        if (auto hook = std::exchange(onBox, nullptr))
            hook();
        return RecordingPrompt::messageBox(text, style, title);
    }
    std::function<void()> onBox;
};

inline QStringList texts(const QList<RecordingPrompt::Box>& boxes)
{
    QStringList result;
    for (const auto& b : boxes)
        result.append(b.text);
    return result;
}

// The main window shown on a store and temporary directory of its own, with its controls by name.
class MainWindow : public AppTest
{
protected:
    void TearDown() override
    {
        m_window.reset();
        AppTest::TearDown();
    }

    frmMain& openWindow()
    {
        m_window = std::make_unique<frmMain>();
        m_window->show();
        return *m_window;
    }

    template <typename T = QAbstractButton> T* control(const char* name)
    {
        T* w = m_window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return control<QLineEdit>(name); }

    // Option buttons and check boxes react to a click on their indicator, not on the blank space
    // of their wide control.
    void clickIndicator(const char* name)
    {
        QAbstractButton* b = control(name);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }

    void expectPdfOptions(bool openAndCheck, bool field, QPalette::ColorRole fieldColour)
    {
        EXPECT_EQ(control("chkOpenPDF")->isEnabled(), openAndCheck);
        EXPECT_EQ(control("chkPassword")->isEnabled(), openAndCheck);
        EXPECT_EQ(edit("txtPDFPassword")->isEnabled(), field);
        EXPECT_EQ(edit("txtPDFPassword")->palette().color(QPalette::Base), QApplication::palette().color(fieldColour));
    }

    // The checked buttons and the texts, as one line to compare two starts by.
    QString settings()
    {
        QStringList parts;
        for (const char* name : {"optSRCFields0",
                                 "optSRCFields1",
                                 "optPDF",
                                 "opteLohnausweis",
                                 "chkOpenPDF",
                                 "chkPassword",
                                 "chkPerEmployee"}) {
            if (control(name)->isChecked())
                parts.append(QString::fromLatin1(name));
        }
        for (const char* name : {"txtSrcFile", "txtLib", "txtToFile", "txtPDFPassword"})
            parts.append(edit(name)->text());
        return parts.join(u'|');
    }

    std::unique_ptr<frmMain> m_window;
};
