#include "remote/ViewerStreams.h"

#include "remote/Broadcast.h"

namespace quillane {
namespace {

// How soon a round comes again while a phone has something left to take.
constexpr std::chrono::milliseconds kBehindRound{20};

}  // namespace

ViewerStreams::ViewerStreams(const Broadcast& news, int writeMs, int heartbeatMs)
    : news_(news), write_(writeMs), heartbeat_(heartbeatMs), thread_([this] { Run(); }) {}

ViewerStreams::~ViewerStreams() { thread_.join(); }

void ViewerStreams::Follow(viewsocket::Handle socket, std::uint64_t sent) {
    viewsocket::SetNonBlocking(socket);
    std::unique_lock<std::mutex> lock(mutex_);
    if (closed_) return;
    viewers_.push_back({socket, sent, {}, 0, Clock::now()});
    auto me = std::prev(viewers_.end());
    ended_.wait(lock, [&] { return me->gone || closed_; });
    viewers_.erase(me);
}

void ViewerStreams::Run() {
    std::uint64_t latest = 0;
    Clock::time_point lastRound = Clock::now();
    bool behind = false;
    for (;;) {
        const Broadcast::News n = news_.WaitNewer(latest, behind ? kBehindRound : heartbeat_);
        const Clock::time_point now = Clock::now();
        std::lock_guard<std::mutex> lock(mutex_);
        if (n.closed) {
            closed_ = true;
            ended_.notify_all();
            return;
        }
        const bool heartbeat = now - lastRound >= heartbeat_;
        if (n.sequence > latest || heartbeat) lastRound = now;
        latest = n.sequence;
        behind = false;
        bool dropped = false;
        for (Viewer& v : viewers_) {
            if (v.gone) continue;
            Serve(v, n.sequence, n.text.get(), heartbeat, now);
            behind = behind || (!v.gone && !v.pending.empty());
            dropped = dropped || v.gone;
        }
        if (dropped) ended_.notify_all();
    }
}

void ViewerStreams::Serve(Viewer& v, std::uint64_t sequence, const std::string* text,
                          bool heartbeat, Clock::time_point now) const {
    if (v.pending.empty() && (v.sent < sequence || heartbeat)) {
        v.pending = text ? "data: " + *text + "\n\n" : std::string(":\n\n");
        v.taken = 0;
        v.sent = sequence;
    }
    while (v.taken < v.pending.size()) {
        const long n =
            viewsocket::SendNow(v.socket, v.pending.data() + v.taken, v.pending.size() - v.taken);
        if (n == viewsocket::kWouldWait) break;
        if (n <= 0) {
            v.gone = true;
            return;
        }
        v.taken += static_cast<std::size_t>(n);
        v.lastTaken = now;
    }
    if (v.taken == v.pending.size()) {
        v.pending.clear();
        v.lastTaken = now;
    } else if (now - v.lastTaken >= write_) {
        v.gone = true;  // it took nothing for the write time-out
    }
}

}  // namespace quillane
