#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace quillane {

// The latest snapshot, shared between the one thread that publishes it (the
// console's) and the threads that send it to viewers. Publishing never
// waits for a viewer: it swaps the text under a lock held for a pointer copy
// and wakes whoever waits. Each viewer waits for a sequence number newer than
// the one it sent; a viewer that falls behind simply skips to the latest.
class Broadcast {
public:
    struct News {
        std::uint64_t sequence = 0;  // 0: nothing published yet
        std::shared_ptr<const std::string> text;
        bool closed = false;
    };

    // A text equal to the latest is not news: nobody is woken for it.
    void Publish(std::string text);
    // Wakes every waiting viewer for good: sharing is ending.
    void Close();
    // Waits until something newer than `after` is published, the broadcast
    // closes, or `timeout` passes; returns what is latest then.
    News WaitNewer(std::uint64_t after, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::uint64_t sequence_ = 0;
    std::shared_ptr<const std::string> text_;
    bool closed_ = false;
};

}  // namespace quillane
