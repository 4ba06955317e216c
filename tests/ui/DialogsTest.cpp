#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

#include "QtPrinters.h"
#include "console/pages/AccessLevel.h"
#include "ui/window/TfrmDebug.h"
#include "ui/window/TfrmPassword.h"

namespace quillane::test {
namespace {

// What a message box showed before the test closed it.
struct SeenBox {
    bool shown = false;
    QString title, text;
    QMessageBox::StandardButtons buttons;
};

// A missing widget ends the test (the exception fails it).
template <typename T>
T* Child(QWidget& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) throw std::runtime_error(std::string("widget missing: ") + name);
    return child;
}

// Closes the next modal message box as soon as its own loop runs.
void CloseNextMessageBox(SeenBox& seen) {
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen = {true, box->windowTitle(), box->text(), box->standardButtons()};
        box->done(QMessageBox::Ok);
    });
}

void Enter(TfrmPassword& dialog, const QString& code) {
    auto* edit = Child<QLineEdit>(dialog, "ePassword");
    QTest::keyClicks(edit, code);
    QTest::keyClick(edit, Qt::Key_Return);  // btnOk is the default button
}

TEST(PasswordDialog, MaskedWithStars) {
    TfrmPassword dialog;
    dialog.show();
    auto* edit = Child<QLineEdit>(dialog, "ePassword");
    QTest::keyClicks(edit, QStringLiteral("527"));
    EXPECT_EQ(edit->displayText(), QStringLiteral("***"));
    EXPECT_EQ(edit->text(), QStringLiteral("527"));
}

TEST(PasswordDialog, CodesGiveTheirResults) {
    const struct {
        QString code;
        int result;
        AccessLevel level;
    } cases[] = {
        {QString::fromLatin1(TfrmPassword::kAdvancedCode), dialog_result::kOk, EAccAdvanced},
        {QStringLiteral("527"), dialog_result::kYes, EAccDeveloper},
        {QString::fromLatin1(TfrmPassword::kBasicCode), dialog_result::kRetry, EAccBasic},
    };
    for (const auto& c : cases) {
        TfrmPassword dialog;
        dialog.show();
        Enter(dialog, c.code);
        EXPECT_FALSE(dialog.isVisible()) << c.code.toStdString();
        EXPECT_EQ(dialog.result(), c.result) << c.code.toStdString();
        EXPECT_EQ(LevelForResult(dialog.result()), c.level) << c.code.toStdString();
    }
}

TEST(PasswordDialog, WrongCodeWarnsAndKeepsTheDialogOpen) {
    const QString codes[] = {QStringLiteral("527 "), QStringLiteral(" 5"), QString(),
                             QStringLiteral("52")};
    for (const QString& code : codes) {
        TfrmPassword dialog;
        dialog.show();
        SeenBox seen;
        CloseNextMessageBox(seen);
        Enter(dialog, code);
        EXPECT_TRUE(seen.shown) << code.toStdString();
        EXPECT_EQ(seen.text, QStringLiteral("Wrong password!!!"));
        EXPECT_EQ(seen.title, QStringLiteral("Error"));
        EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        EXPECT_TRUE(dialog.isVisible()) << code.toStdString();
        EXPECT_EQ(Child<QLineEdit>(dialog, "ePassword")->text(), code);

        // Another try in the same dialog still works.
        Child<QLineEdit>(dialog, "ePassword")->clear();
        Enter(dialog, QStringLiteral("527"));
        EXPECT_EQ(dialog.result(), dialog_result::kYes) << code.toStdString();
    }
}

TEST(PasswordDialog, EscapeAndCancelGiveCancel) {
    TfrmPassword dialog;
    dialog.show();
    QTest::keyClicks(Child<QLineEdit>(dialog, "ePassword"), QStringLiteral("527"));
    QTest::keyClick(Child<QLineEdit>(dialog, "ePassword"), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), dialog_result::kCancel);
    EXPECT_FALSE(LevelForResult(dialog.result()).has_value());

    dialog.show();
    QTest::mouseClick(Child<QPushButton>(dialog, "bntCancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), dialog_result::kCancel);
}

TEST(PasswordDialog, ReopeningShowsAnEmptyFocusedField) {
    TfrmPassword dialog;
    dialog.show();
    auto* edit = Child<QLineEdit>(dialog, "ePassword");
    QTest::keyClicks(edit, QStringLiteral("99"));
    dialog.reject();
    dialog.show();
    EXPECT_EQ(edit->text(), QString());
    EXPECT_EQ(dialog.focusWidget(), static_cast<QWidget*>(edit));
}

TEST(DebugWindow, StaysHiddenAndEmpty) {
    TfrmDebug debug;
    EXPECT_FALSE(debug.isVisible());
    EXPECT_EQ(Child<QListWidget>(debug, "lbProtocol")->count(), 0);
}

// A larger window moves the group down and widens it and its list by as
// much as the window grew; the group keeps its height.
TEST(DebugWindow, GroupFollowsRightAndBottomEdges) {
    TfrmDebug debug;
    debug.show();  // a hidden window gets its resize only when shown
    auto* group = Child<QGroupBox>(debug, "GroupBox3");
    auto* list = Child<QListWidget>(debug, "lbProtocol");
    const QRect groupBefore = group->geometry(), listBefore = list->geometry();
    debug.resize(debug.size() + QSize(100, 100));
    EXPECT_EQ(group->geometry(), groupBefore.translated(0, 100).adjusted(0, 0, 100, 0));
    EXPECT_EQ(list->geometry(), listBefore.adjusted(0, 0, 100, 0));
}

}  // namespace
}  // namespace quillane::test
