#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>

#include "remote/ViewSocket.h"

namespace quillane {

class Broadcast;

// The viewers' streams, all written by one thread: each snapshot wakes that
// thread once, whatever the number of phones, instead of a thread per phone.
// It never waits on a phone: what a phone's socket does not take at once
// waits for the next round, a phone behind gets the latest snapshot once it
// has taken the last one whole, and one that has taken nothing for the
// write time-out is dropped. After a quiet spell the latest goes out again,
// so that a page knows the console is there and a phone gone is noticed.
class ViewerStreams {
public:
    ViewerStreams(const Broadcast& news, int writeMs, int heartbeatMs);
    // The broadcast must be closed first: that ends the thread.
    ~ViewerStreams();
    ViewerStreams(const ViewerStreams&) = delete;
    ViewerStreams& operator=(const ViewerStreams&) = delete;

    // On the viewer's own connection thread, once the response head and the
    // snapshot `sent` have gone out: the stream is written from here on;
    // returns when the viewer is dropped or gone, or sharing ends.
    void Follow(viewsocket::Handle socket, std::uint64_t sent);

private:
    using Clock = std::chrono::steady_clock;
    struct Viewer {
        viewsocket::Handle socket;
        std::uint64_t sent;
        std::string pending;  // what the socket has not taken yet
        std::size_t taken = 0;
        Clock::time_point lastTaken;
        bool gone = false;
    };

    void Run();
    // One round for a viewer: queue the latest if it has taken all before,
    // then give the socket what it takes now.
    void Serve(Viewer& v, std::uint64_t sequence, const std::string* text, bool heartbeat,
               Clock::time_point now) const;

    const Broadcast& news_;
    const std::chrono::milliseconds write_, heartbeat_;
    std::mutex mutex_;
    std::condition_variable ended_;
    std::list<Viewer> viewers_;
    bool closed_ = false;
    std::thread thread_;
};

}  // namespace quillane
