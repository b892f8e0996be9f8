#include "app/WidgetPrompt.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Acts on the modal dialog as soon as it is open; exec() then returns without blocking the test.
void whenModalOpens(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        act(modal);
    });
}

} // namespace

TEST(WidgetPrompt, LoginReturnsWhatWasTypedAndSitsOverTheOwner)
{
    QWidget owner;
    owner.setGeometry(200, 150, 401, 409);
    owner.show();
    WidgetPrompt prompt(&owner);
    QPoint centre;
    whenModalOpens([&](QWidget* modal) {
        centre = modal->frameGeometry().center();
        // A clerk with several data sources sees which one asks for the password.
        EXPECT_EQ(modal->windowTitle(), QStringLiteral("Anmelden – LOVAR400"));
        auto* pwd = modal->findChild<QLineEdit*>(QStringLiteral("txtPwd"));
        ASSERT_NE(pwd, nullptr);
        EXPECT_EQ(pwd->echoMode(), QLineEdit::Password);
        EXPECT_EQ(pwd->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter), u'*');
        QTest::keyClicks(modal->findChild<QLineEdit*>(QStringLiteral("txtUser")), QStringLiteral("LOVARUSR"));
        QTest::keyClicks(pwd, QStringLiteral("g3h;eim"));
        // Enter presses OK, the only button.
        QTest::keyClick(pwd, Qt::Key_Return);
    });

    QString user;
    QString password;
    EXPECT_TRUE(prompt.login(QStringLiteral("LOVAR400"), user, password));

    EXPECT_EQ(user, QStringLiteral("LOVARUSR"));
    EXPECT_EQ(password, QStringLiteral("g3h;eim"));
    EXPECT_LE((centre - owner.frameGeometry().center()).manhattanLength(), 2);

    // Esc and the close button end the login without OK: no connection is to be tried.
    for (const bool esc : {true, false}) {
        whenModalOpens([esc](QWidget* modal) { esc ? QTest::keyClick(modal, Qt::Key_Escape) : void(modal->close()); });
        EXPECT_FALSE(prompt.login(QStringLiteral("LOVAR400"), user, password));
    }
}

TEST(WidgetPrompt, MessageBoxAnswersAsPressed)
{
    // NoButton: the user presses Esc, which must never answer the overwrite question with OK.
    const std::pair<int, QMessageBox::StandardButton> cases[] = {{48, QMessageBox::Ok},
                                                                 {16, QMessageBox::Ok},
                                                                 {1, QMessageBox::Cancel},
                                                                 {1, QMessageBox::Ok},
                                                                 {1, QMessageBox::NoButton}};
    WidgetPrompt prompt(nullptr);
    for (const auto& [style, press] : cases) {
        SCOPED_TRACE(style);
        QString shownText;
        whenModalOpens([&, press = press](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            shownText = box->text();
            // Plain text, so that no markup in a value reaches the user as formatting.
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            // Only the question offers Cancel: a box that reports an error has nothing to decline.
            EXPECT_EQ(box->buttons().size(), style == 1 ? 2 : 1);
            if (press == QMessageBox::NoButton)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press)->click();
        });

        const int answer = prompt.messageBox(QStringLiteral("Zeile 1\r\n<b>Zeile 2</b>"), style, QStringLiteral("T"));

        EXPECT_EQ(answer, press == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel);
        EXPECT_EQ(shownText, QStringLiteral("Zeile 1\n<b>Zeile 2</b>"));
    }
}

// Errors found before a run: the box lists the first ten, and writing anyway takes a deliberate "Ja".
TEST(WidgetPrompt, CheckErrorsStopTheRunUnlessYesIsPressed)
{
    QStringList findings;
    for (int i = 1; i <= 12; ++i)
        findings.append(QStringLiteral("Firma, Person %1 – Regel: Text").arg(i));
    WidgetPrompt prompt(nullptr);
    for (const auto& [key, write] : {std::pair{Qt::Key_Return, false}, {Qt::Key_Escape, false}, {Qt::Key_Y, true}}) {
        SCOPED_TRACE(key);
        QString shownText;
        whenModalOpens([&, key = key](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            shownText = box->text();
            if (key == Qt::Key_Y)
                box->button(QMessageBox::Yes)->click();
            else
                QTest::keyClick(box, key);
        });
        EXPECT_EQ(prompt.writeDespiteCheckErrors(QStringLiteral("2 Fehler"), findings), write);
        EXPECT_TRUE(shownText.contains(QStringLiteral("Person 10 – Regel: Text\n… und 2 weitere")))
            << shownText.toStdString();
        EXPECT_FALSE(shownText.contains(QStringLiteral("Person 11")));
    }
}
