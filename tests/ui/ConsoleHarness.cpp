#include "ConsoleHarness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "LabelText.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmPassword.h"

namespace quillane::test {

ConsoleHarness::ConsoleHarness() {
    ports.entries = {{3, true, "/dev/fake3", ""}, {7, true, "/dev/fake7", ""}};
    window_ = std::make_unique<TfmMain>(link, ports, clock);
    password_ = std::make_unique<TfrmPassword>(window_.get());
    window_->SetPasswordDialog(password_.get());
    window_->show();
    QApplication::setActiveWindow(window_.get());
    if (!QTest::qWaitForWindowActive(window_.get())) qWarning("console window not active");
    Tick();  // the first tick lists the ports and opens the last one
}

ConsoleHarness::~ConsoleHarness() {
    password_.reset();
    window_.reset();
}

void ConsoleHarness::Tick(int count) {
    for (int i = 0; i < count; ++i) window_->TimerTimer();
}

void ConsoleHarness::Receive(std::initializer_list<frame::Word> words) {
    for (frame::Word w : words) link.Feed(w);
    Tick();
}

void ConsoleHarness::LinkUp(unsigned state, unsigned regul) {
    LinkUpSet set;
    set.state = word::State(state);
    set.zone = word::Zone(regul, 10);
    for (frame::Word w : set.Words()) link.Feed(w);
    Tick();
}

void ConsoleHarness::LinkDown() {
    clock.Advance(4);
    Tick();
}

void ConsoleHarness::Press(int key) {
    // A closed dialog hands the activation back to the window asynchronously;
    // window shortcuts only work once it has it.
    if (QApplication::activeWindow() != window_.get()) {
        QApplication::setActiveWindow(window_.get());
        if (!QTest::qWaitForWindowActive(window_.get())) qWarning("console window not active");
    }
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target ? target : window_.get(), static_cast<Qt::Key>(key));
}

bool ConsoleHarness::PressOpensDialog(int key) {
    bool opened = false;
    QTimer::singleShot(0, password_.get(), [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    Press(key);
    QCoreApplication::processEvents();
    return opened;
}

QString ConsoleHarness::EnterAccessCode(const QString& code, bool escape) {
    QString boxes;
    TfrmPassword* dialog = password_.get();
    // The answering timers end with this call: one still pending after a
    // right code would otherwise answer the next message box of the test.
    QObject scope;
    QTimer::singleShot(0, &scope, [&scope, dialog, code, escape, &boxes] {
        if (escape) {
            QTest::keyClick(dialog, Qt::Key_Escape);
            return;
        }
        // A wrong code raises a message box; dismiss it, then leave the
        // dialog with Esc as the user would.
        QTimer::singleShot(0, &scope, [&scope, dialog, &boxes] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxes += box->windowTitle() + '|' + box->text();
                box->accept();
                QTimer::singleShot(0, &scope, [dialog, &boxes] {
                    boxes += '|' + dialog->findChild<QLineEdit*>("ePassword")->text();
                    QTest::keyClick(dialog, Qt::Key_Escape);
                });
            }
        });
        dialog->findChild<QLineEdit*>("ePassword")->setText(code);
        dialog->findChild<QPushButton*>("btnOk")->click();
    });
    Press(Qt::Key_F10);
    return boxes;
}

QObject* ConsoleHarness::Root() const { return window_.get(); }

QLabel* ConsoleHarness::Label(const char* name) const { return LabelNamed(*window_, name); }

QString ConsoleHarness::Text(const char* name) const { return LabelText(*window_, name); }

QString ConsoleHarness::Note() const {
    return window_->findChild<QTextEdit*>("memoNote")->toPlainText();
}

QString ConsoleHarness::CurrentPage() const {
    const auto* tabs = window_->findChild<QTabWidget*>("pcMain");
    return tabs->currentWidget()->objectName();
}

QStringList ConsoleHarness::VisibleTabs() const {
    const auto* tabs = window_->findChild<QTabWidget*>("pcMain");
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->isTabVisible(i)) names << tabs->widget(i)->objectName();
    return names;
}

}  // namespace quillane::test
