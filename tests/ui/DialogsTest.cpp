#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include "console/AccessLevel.h"
#include "ui/window/TfrmDebug.h"
#include "ui/window/TfrmPassword.h"

namespace quillane {

// What a message box showed before the test closed it.
struct SeenBox {
    bool shown = false;
    QString title, text;
    QMessageBox::StandardButtons buttons;
};

class DialogsTest : public QObject {
    Q_OBJECT

private:
    template <typename T>
    static T* Child(QWidget& parent, const char* name) {
        T* child = parent.findChild<T*>(QString::fromLatin1(name));
        if (!child) qFatal("widget %s missing", name);
        return child;
    }

    // Closes the next modal message box as soon as its own loop runs.
    static void CloseNextMessageBox(SeenBox& seen) {
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = {true, box->windowTitle(), box->text(), box->standardButtons()};
            box->done(QMessageBox::Ok);
        });
    }

    static void Enter(TfrmPassword& dialog, const QString& code) {
        auto* edit = Child<QLineEdit>(dialog, "ePassword");
        QTest::keyClicks(edit, code);
        QTest::keyClick(edit, Qt::Key_Return);  // btnOk is the default button
    }

private slots:
    void passwordDialogHasAFixedFrame() {
        TfrmPassword dialog;
        const Qt::WindowFlags flags = dialog.windowFlags();
        QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(Child<QPushButton>(dialog, "btnOk")->isDefault());
    }

    void passwordMaskedWithStars() {
        TfrmPassword dialog;
        dialog.show();
        auto* edit = Child<QLineEdit>(dialog, "ePassword");
        QTest::keyClicks(edit, QStringLiteral("527"));
        QCOMPARE(edit->displayText(), QStringLiteral("***"));
        QCOMPARE(edit->text(), QStringLiteral("527"));
    }

    void codesGiveTheirResults_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("level");
        QTest::newRow("advanced") << QString::fromLatin1(TfrmPassword::kAdvancedCode)
                                  << dialog_result::kOk << int(EAccAdvanced);
        QTest::newRow("developer")
            << QStringLiteral("527") << dialog_result::kYes << int(EAccDeveloper);
        QTest::newRow("basic") << QString::fromLatin1(TfrmPassword::kBasicCode)
                               << dialog_result::kRetry << int(EAccBasic);
    }
    void codesGiveTheirResults() {
        QFETCH(QString, code);
        QFETCH(int, result);
        QFETCH(int, level);
        TfrmPassword dialog;
        dialog.show();
        Enter(dialog, code);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), result);
        QCOMPARE(int(LevelForResult(dialog.result()).value()), level);
    }

    void wrongCodeWarnsAndKeepsDialogOpen_data() {
        QTest::addColumn<QString>("code");
        QTest::newRow("trailing space") << QStringLiteral("527 ");
        QTest::newRow("leading space") << QStringLiteral(" 5");
        QTest::newRow("empty") << QString();
        QTest::newRow("other digits") << QStringLiteral("52");
    }
    void wrongCodeWarnsAndKeepsDialogOpen() {
        QFETCH(QString, code);
        TfrmPassword dialog;
        dialog.show();
        SeenBox seen;
        CloseNextMessageBox(seen);
        Enter(dialog, code);
        QVERIFY(seen.shown);
        QCOMPARE(seen.text, QStringLiteral("Wrong password!!!"));
        QCOMPARE(seen.title, QStringLiteral("Error"));
        QCOMPARE(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(dialog.isVisible());
        QCOMPARE(Child<QLineEdit>(dialog, "ePassword")->text(), code);

        // Another try in the same dialog still works.
        Child<QLineEdit>(dialog, "ePassword")->clear();
        Enter(dialog, QStringLiteral("527"));
        QCOMPARE(dialog.result(), dialog_result::kYes);
    }

    void escapeAndCancelGiveCancel() {
        TfrmPassword dialog;
        dialog.show();
        QTest::keyClicks(Child<QLineEdit>(dialog, "ePassword"), QStringLiteral("527"));
        QTest::keyClick(Child<QLineEdit>(dialog, "ePassword"), Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), dialog_result::kCancel);
        QVERIFY(!LevelForResult(dialog.result()).has_value());

        dialog.show();
        QTest::mouseClick(Child<QPushButton>(dialog, "bntCancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), dialog_result::kCancel);
    }

    void reopeningShowsEmptyFocusedField() {
        TfrmPassword dialog;
        dialog.show();
        auto* edit = Child<QLineEdit>(dialog, "ePassword");
        QTest::keyClicks(edit, QStringLiteral("99"));
        dialog.reject();
        dialog.show();
        QCOMPARE(edit->text(), QString());
        QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(edit));
    }

    void debugWindowStaysHiddenAndEmpty() {
        TfrmDebug debug;
        QCOMPARE(debug.windowTitle(), QStringLiteral("Отладка"));
        QVERIFY(!debug.isVisible());
        QCOMPARE(Child<QGroupBox>(debug, "GroupBox3")->title(), QStringLiteral("Протокол обмена"));
        auto* list = Child<QListWidget>(debug, "lbProtocol");
        QCOMPARE(list->count(), 0);
        QCOMPARE(list->focusPolicy(), Qt::NoFocus);
    }

    // A larger window moves the group down and widens it and its list by as
    // much as the window grew; the group keeps its height.
    void debugGroupFollowsRightAndBottomEdges() {
        TfrmDebug debug;
        debug.show();  // a hidden window gets its resize only when shown
        auto* group = Child<QGroupBox>(debug, "GroupBox3");
        auto* list = Child<QListWidget>(debug, "lbProtocol");
        const QRect groupBefore = group->geometry(), listBefore = list->geometry();
        debug.resize(debug.size() + QSize(100, 100));
        QCOMPARE(group->geometry(), groupBefore.translated(0, 100).adjusted(0, 0, 100, 0));
        QCOMPARE(list->geometry(), listBefore.adjusted(0, 0, 100, 0));
    }
};

}  // namespace quillane

QTEST_MAIN(quillane::DialogsTest)
#include "DialogsTest.moc"
