#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

#include "FakeClock.h"
#include "FakeLink.h"
#include "FakePortDirectory.h"
#include "QtPrinters.h"
#include "StatusWords.h"

class QLabel;
class QWidget;

namespace quillane {
class TfmMain;
class TfrmPassword;
}  // namespace quillane

namespace quillane::test {

// The main window on a fake line, port list and clock, shown and active so
// that its window shortcuts take keys. Ticks are run by hand.
class ConsoleHarness {
public:
    ConsoleHarness();
    ~ConsoleHarness();

    TfmMain& Window() { return *window_; }
    TfrmPassword& Password() { return *password_; }

    void Tick(int count = 1);
    // The words arrive on the line and one tick reads them.
    void Receive(std::initializer_list<frame::Word> words);
    // A full set of codes 2 to 7: the detector is found.
    void LinkUp(unsigned state = 0, unsigned regul = 0);
    // More than 3 s of silence: the link is lost.
    void LinkDown();

    // A key as the user presses it: to the widget with the focus.
    void Press(int key);
    // A key that must not open a dialog; if one opens anyway it is closed
    // again (so the test fails instead of hanging) and true comes back.
    bool PressOpensDialog(int key);
    // F10 with a dialog that gets `code` typed and checked (or Esc when
    // `escape`); returns the message boxes' texts seen meanwhile.
    QString EnterAccessCode(const QString& code, bool escape = false);

    // A widget of the window by its object name. A missing one ends the test,
    // as an ASSERT would, instead of crashing the test program at its first use.
    template <typename T>
    T* Find(const char* name) const {
        T* w = Root()->findChild<T*>(QString::fromLatin1(name));
        if (!w) throw std::runtime_error(std::string(name) + " missing");
        return w;
    }
    QObject* Root() const;
    QLabel* Label(const char* name) const;
    QString Text(const char* name) const;
    QString Note() const;
    QString CurrentPage() const;
    QStringList VisibleTabs() const;

    FakeLink link;
    FakePortDirectory ports;
    FakeClock clock;

private:
    std::unique_ptr<TfmMain> window_;
    std::unique_ptr<TfrmPassword> password_;
};

}  // namespace quillane::test
