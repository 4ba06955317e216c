#include "ui/window/LineWatch.h"

#include "link/ByteLink.h"

namespace quillane {

LineWatch::LineWatch(QObject* parent) : QObject(parent) {}

LineWatch::~LineWatch() { Forget(); }

void LineWatch::Watch(ByteLink& line) {
    const std::intptr_t handle = line.ReadableHandle();
    if (&line != line_ || handle != handle_ || notifier_ == nullptr) {
        Forget();
        if (handle == ByteLink::kNoReadable) return;
        line_ = &line;
        handle_ = handle;
        Take(handle);
    }
    if (!watching_) Resume();
}

void LineWatch::Pause() {
    if (watching_) Enable(false);
    watching_ = false;
}

void LineWatch::Forget() {
    Pause();
    delete notifier_;
    notifier_ = nullptr;
    line_ = nullptr;
    handle_ = ByteLink::kNoReadable;
}

void LineWatch::Wake() {
    if (!watching_) return;
    Pause();
    emit Readable();
}

}  // namespace quillane
