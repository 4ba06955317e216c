#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace quillane {

// What the view's server allows. The defaults serve a handful of phones on a
// laptop's hotspot; tests shorten the times.
struct ViewLimits {
    int viewers = 5;                    // live streams at once; one more is answered 503
    int connections = 16;               // requests served at once; more are answered 503 at once
    int headMs = 5000;                  // the whole request head, from the connection on
    std::size_t headBytes = 16 * 1024;  // the request head, all lines together
    int writeMs = 5000;                 // a viewer that takes nothing for this long is dropped
    int heartbeatMs = 2000;             // the latest snapshot again when nothing changed
};

// The live, read-only view a phone opens: one page and the stream of
// snapshots it shows, under an address with a fresh random token. The server
// answers on threads of its own; the console only hands it the latest
// snapshot (Publish), which never waits on the network. Stop ends every
// connection at once. Nothing a request says reaches anything but this object.
class ViewServer {
public:
    explicit ViewServer(ViewLimits limits = {});
    ~ViewServer();
    ViewServer(const ViewServer&) = delete;
    ViewServer& operator=(const ViewServer&) = delete;

    // Listens on `port` (0: any free port) of every IPv4 interface, with a new
    // token; a server already running stops first. False, with the reason,
    // when the port cannot be had.
    bool Start(int port, std::string& error);
    void Stop();
    bool Running() const;

    int Port() const;
    const std::string& Token() const;
    // The view's address through `host`: "http://host:port/token/".
    std::string Address(const std::string& host) const;
    // Live streams now.
    int Viewers() const;

    // The latest snapshot, a JSON text on one line.
    void Publish(std::string snapshot);

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace quillane
