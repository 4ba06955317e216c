#include <windows.h>

#include <QWinEventNotifier>

#include "link/ByteLink.h"
#include "ui/window/LineWatch.h"

namespace quillane {

// The event of the line's pending wait for a byte (manual-reset): it stays
// set until the next wait is started, so the notifier is off from each wake
// until the window has read and watches again.
void LineWatch::Take(std::intptr_t handle) {
    auto* n = new QWinEventNotifier(reinterpret_cast<HANDLE>(handle), this);
    n->setEnabled(false);
    connect(n, &QWinEventNotifier::activated, this, &LineWatch::Wake);
    notifier_ = n;
}

void LineWatch::Resume() {
    if (notifier_ == nullptr || line_ == nullptr) return;
    watching_ = true;
    // Bytes that came while nobody waited set no event: they are read at the
    // next turn of the event loop instead.
    const bool waiting = line_->ArmReadable();
    Enable(true);
    if (waiting) QMetaObject::invokeMethod(this, &LineWatch::Wake, Qt::QueuedConnection);
}

void LineWatch::Enable(bool on) {
    if (notifier_ != nullptr) static_cast<QWinEventNotifier*>(notifier_)->setEnabled(on);
}

}  // namespace quillane
