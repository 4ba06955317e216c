#include "remote/Broadcast.h"

namespace quillane {

void Broadcast::Publish(std::string text) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closed_ || (text_ && *text_ == text)) return;
        text_ = std::make_shared<const std::string>(std::move(text));
        ++sequence_;
    }
    changed_.notify_all();
}

void Broadcast::Close() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

Broadcast::News Broadcast::WaitNewer(std::uint64_t after, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, timeout, [&] { return closed_ || sequence_ > after; });
    return {sequence_, text_, closed_};
}

}  // namespace quillane
