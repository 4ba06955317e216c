#include "remote/ViewServer.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "remote/Broadcast.h"
#include "remote/RequestRules.h"
#include "remote/ViewPage.h"
#include "remote/ViewSocket.h"
#include "remote/ViewToken.h"
#include "remote/ViewerStreams.h"

namespace quillane {
namespace {

using SteadyClock = std::chrono::steady_clock;
using viewsocket::Handle;

// Set on the accepting thread while it turns away a connection no thread is
// free for (see ConnectionPool::enqueue).
thread_local bool tTurnAway = false;
// The socket the connection thread is serving, for a stream to hand on.
thread_local Handle tServing = 0;

const char kBusy[] =
    "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

// The sockets being served, so that stopping can end them all at once: a
// viewer waiting for news, a request half read, a write to a stalled phone.
class OpenSockets {
public:
    // False once closing: the socket is then not to be served.
    bool Add(Handle socket) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (closing_) return false;
        open_.insert(socket);
        return true;
    }
    // Before the socket is closed, so that CloseAll never touches a number
    // the system may already have given to another socket.
    void Remove(Handle socket) {
        std::lock_guard<std::mutex> lock(mutex_);
        open_.erase(socket);
    }
    void CloseAll() {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        for (const Handle socket : open_) viewsocket::ShutDown(socket);
    }

private:
    std::mutex mutex_;
    std::set<Handle> open_;
    bool closing_ = false;
};

// A fixed number of threads, one per connection being served. A connection
// that finds none free is answered 503 at once on the accepting thread
// instead of waiting in a queue behind stalled ones: the server's work and
// memory stay bounded whatever comes in.
class ConnectionPool : public httplib::TaskQueue {
public:
    explicit ConnectionPool(int threads) {
        for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    }

    void enqueue(std::function<void()> fn) override {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            if (!stopping_ && busy_ + tasks_.size() < threads_.size()) {
                tasks_.push_back(std::move(fn));
                lock.unlock();
                ready_.notify_one();
                return;
            }
        }
        tTurnAway = true;
        fn();
        tTurnAway = false;
    }

    void shutdown() override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread& t : threads_) t.join();
    }

private:
    void Work() {
        for (;;) {
            std::function<void()> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                // A connection still queued is served (and so closed) first.
                if (tasks_.empty()) return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
                ++busy_;
            }
            task();
            std::lock_guard<std::mutex> lock(mutex_);
            --busy_;
        }
    }

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> tasks_;
    std::size_t busy_ = 0;
    bool stopping_ = false;
};

// One connection as the library reads and writes it. The library's own
// stream waits a time-out for each read, so a client that trickles its head a
// byte at a time would hold a thread for ever; here the whole head has one
// deadline and one size, and every write one time-out.
class ConnectionStream : public httplib::Stream {
public:
    ConnectionStream(socket_t socket, const ViewLimits& limits)
        : socket_(socket),
          limits_(limits),
          headEnds_(SteadyClock::now() + std::chrono::milliseconds(limits.headMs)) {}

    bool is_readable() const override {
        return pos_ < end_ ||
               viewsocket::WaitUntil(Sock(), false, HeadMsLeft()) == viewsocket::Wait::Ready;
    }
    bool is_writable() const override {
        return viewsocket::WaitUntil(Sock(), true, limits_.writeMs) == viewsocket::Wait::Ready;
    }

    ssize_t read(char* ptr, size_t size) override {
        if (read_ >= limits_.headBytes) return -1;
        if (pos_ == end_) {
            const int left = HeadMsLeft();
            if (left <= 0 || viewsocket::WaitUntil(Sock(), false, left) != viewsocket::Wait::Ready)
                return -1;
            const long n = viewsocket::Receive(Sock(), buffer_, sizeof buffer_);
            if (n <= 0) return n < 0 ? -1 : 0;
            pos_ = 0;
            end_ = static_cast<std::size_t>(n);
        }
        const std::size_t n = std::min({size, end_ - pos_, limits_.headBytes - read_});
        std::memcpy(ptr, buffer_ + pos_, n);
        pos_ += n;
        read_ += n;
        return static_cast<ssize_t>(n);
    }

    // The socket's own send time-out (the library sets it to the write
    // time-out) bounds a write to a phone that takes nothing; a snapshot to
    // a phone that keeps up costs one call.
    ssize_t write(const char* ptr, size_t size) override {
        const long n = viewsocket::Send(Sock(), ptr, size);
        return n <= 0 ? -1 : static_cast<ssize_t>(n);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        viewsocket::Address(Sock(), true, ip, port);
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        viewsocket::Address(Sock(), false, ip, port);
    }
    socket_t socket() const override { return socket_; }

private:
    Handle Sock() const { return static_cast<Handle>(socket_); }
    int HeadMsLeft() const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(headEnds_ - SteadyClock::now());
        return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
    }

    socket_t socket_;
    const ViewLimits& limits_;
    SteadyClock::time_point headEnds_;
    char buffer_[4096] = {};
    std::size_t pos_ = 0, end_ = 0;
    std::size_t read_ = 0;
};

// The library's server, serving each connection through ConnectionStream,
// one request per connection (a phone makes two: the page and its stream).
class HttpServer : public httplib::Server {
public:
    HttpServer(const ViewLimits& limits, OpenSockets& open) : limits_(limits), open_(open) {}

    // The library listens with a backlog fixed where it was built (5); every
    // connection of a burst beyond it would wait for the phone's retry.
    void WidenBacklog() {
        viewsocket::Backlog(static_cast<Handle>(svr_sock_.load()), 2 * limits_.connections + 32);
    }

private:
    bool process_and_close_socket(socket_t socket) override {
        const auto handle = static_cast<Handle>(socket);
        if (tTurnAway || !open_.Add(handle)) {
            if (viewsocket::WaitUntil(handle, true, 0) == viewsocket::Wait::Ready)
                viewsocket::Send(handle, kBusy, sizeof kBusy - 1);
            viewsocket::ShutDown(handle);
            viewsocket::Close(handle);
            return false;
        }
        bool ok = false;
        {
            ConnectionStream stream(socket, limits_);
            tServing = handle;
            bool closed = false;
            ok = process_request(stream, true, closed, nullptr);
        }
        open_.Remove(handle);
        viewsocket::ShutDown(handle);
        viewsocket::Close(handle);
        return ok;
    }

    const ViewLimits& limits_;
    OpenSockets& open_;
};

}  // namespace

struct ViewServer::Impl {
    explicit Impl(ViewLimits l) : limits(l) {}

    httplib::Server::HandlerResponse Route(const httplib::Request& req, httplib::Response& res);
    void Serve(ViewResource resource, httplib::Response& res);

    const ViewLimits limits;
    std::unique_ptr<Broadcast> broadcast;
    std::unique_ptr<ViewerStreams> streams;
    std::unique_ptr<OpenSockets> sockets;
    std::unique_ptr<HttpServer> http;
    std::thread listener;
    std::atomic<bool> listenEnded{false};
    std::atomic<int> viewers{0};
    std::string token;
    int port = 0;
};

httplib::Server::HandlerResponse ViewServer::Impl::Route(const httplib::Request& req,
                                                         httplib::Response& res) {
    const RequestVerdict verdict = JudgeRequest(FactsOf(req), token);
    res.status = verdict.status;
    Serve(verdict.resource, res);
    return httplib::Server::HandlerResponse::Handled;
}

void ViewServer::Impl::Serve(ViewResource resource, httplib::Response& res) {
    switch (resource) {
        case ViewResource::None:
            return;
        case ViewResource::ToPage:
            res.set_header("Location", "/" + token + "/");
            return;
        case ViewResource::Page:
            // The page loads nothing but itself and its own stream.
            res.set_header("Content-Security-Policy",
                           "default-src 'none'; script-src 'unsafe-inline'; "
                           "style-src 'unsafe-inline'; connect-src 'self'; img-src data:; "
                           "base-uri 'none'; form-action 'none'; frame-ancestors 'none'");
            res.set_content(ViewPageHtml(), "text/html; charset=utf-8");
            return;
        case ViewResource::Events:
            break;
    }
    if (viewers.fetch_add(1) >= limits.viewers) {
        viewers.fetch_sub(1);
        res.status = 503;
        return;
    }
    // The response head and the latest snapshot go out on this connection's
    // thread; from then on the one writer of all streams takes it over.
    Broadcast& news = *broadcast;
    ViewerStreams& streams = *this->streams;
    const Handle socket = tServing;
    res.set_content_provider(
        "text/event-stream",
        [&news, &streams, socket](std::size_t, httplib::DataSink& sink) {
            const Broadcast::News latest = news.WaitNewer(0, std::chrono::milliseconds(0));
            // A page whose stream broke asks again after a second.
            std::string first = "retry: 1000\n\n";
            first += latest.text ? "data: " + *latest.text + "\n\n" : std::string(":\n\n");
            if (!latest.closed && sink.write(first.data(), first.size()))
                streams.Follow(socket, latest.sequence);
            return false;
        },
        [this](bool) { viewers.fetch_sub(1); });
}

ViewServer::ViewServer(ViewLimits limits) : d_(std::make_unique<Impl>(limits)) {}

ViewServer::~ViewServer() { Stop(); }

bool ViewServer::Start(int port, std::string& error) {
    Stop();
    std::optional<std::string> token = NewViewToken();
    if (!token) {
        error = "The system's random source failed; the view cannot be shared safely.";
        return false;
    }
    d_->token = *token;
    d_->broadcast = std::make_unique<Broadcast>();
    d_->sockets = std::make_unique<OpenSockets>();
    d_->streams.reset();
    d_->viewers = 0;
    d_->listenEnded = false;
    auto http = std::make_unique<HttpServer>(d_->limits, *d_->sockets);
    const ViewLimits limits = d_->limits;
    // The library's limits are fixed where it was built; every one that
    // matters here is set again at run time.
    http->new_task_queue = [limits] { return new ConnectionPool(limits.connections); };
    http->set_socket_options([](socket_t s) { viewsocket::ListenOptions(static_cast<Handle>(s)); });
    http->set_read_timeout(std::chrono::milliseconds(limits.headMs));
    http->set_write_timeout(std::chrono::milliseconds(limits.writeMs));
    http->set_keep_alive_max_count(1);
    http->set_keep_alive_timeout(1);
    http->set_payload_max_length(0);
    http->set_default_headers({{"Cache-Control", "no-store"},
                               {"X-Content-Type-Options", "nosniff"},
                               {"Referrer-Policy", "no-referrer"}});
    http->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
        return d_->Route(req, res);
    });
    const int bound = port == 0 ? http->bind_to_any_port("0.0.0.0")
                                : (http->bind_to_port("0.0.0.0", port) ? port : -1);
    if (bound <= 0) {
        error = "Port " + std::to_string(port) +
                " cannot be opened: another program may be using it. Choose another port.";
        return false;
    }
    http->WidenBacklog();
    d_->streams =
        std::make_unique<ViewerStreams>(*d_->broadcast, limits.writeMs, limits.heartbeatMs);
    d_->port = bound;
    d_->http = std::move(http);
    d_->listener = std::thread([this] {
        d_->http->listen_after_bind();
        d_->listenEnded = true;
    });
    return true;
}

void ViewServer::Stop() {
    if (!d_->http) return;
    // The streams first (closing the broadcast ends their writer and every
    // stream it follows), then every socket, so that no thread the library
    // joins below is still waiting on a phone.
    d_->broadcast->Close();
    d_->sockets->CloseAll();
    // The library stops only a server whose loop has begun.
    while (!d_->http->is_running() && !d_->listenEnded) std::this_thread::yield();
    d_->http->stop();
    d_->listener.join();
    d_->http.reset();
    d_->streams.reset();
    d_->viewers = 0;
}

bool ViewServer::Running() const { return d_->http != nullptr; }

int ViewServer::Port() const { return d_->port; }

const std::string& ViewServer::Token() const { return d_->token; }

std::string ViewServer::Address(const std::string& host) const {
    return "http://" + host + ":" + std::to_string(d_->port) + "/" + d_->token + "/";
}

int ViewServer::Viewers() const { return d_->viewers; }

void ViewServer::Publish(std::string snapshot) {
    if (d_->broadcast) d_->broadcast->Publish(std::move(snapshot));
}

}  // namespace quillane
