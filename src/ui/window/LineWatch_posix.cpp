#include <QSocketNotifier>

#include "link/ByteLink.h"
#include "ui/window/LineWatch.h"

namespace quillane {

// Level-triggered: while bytes wait (or the line is hung up) the notifier
// fires at every turn of the event loop, so it is off from each wake until
// the window has read and watches again.
void LineWatch::Take(std::intptr_t handle) {
    auto* n = new QSocketNotifier(static_cast<qintptr>(handle), QSocketNotifier::Read, this);
    n->setEnabled(false);
    connect(n, &QSocketNotifier::activated, this, &LineWatch::Wake);
    notifier_ = n;
}

void LineWatch::Resume() {
    if (notifier_ == nullptr) return;
    watching_ = true;
    Enable(true);
}

void LineWatch::Enable(bool on) {
    if (notifier_ != nullptr) static_cast<QSocketNotifier*>(notifier_)->setEnabled(on);
}

}  // namespace quillane
