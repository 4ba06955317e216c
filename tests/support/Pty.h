#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace quillane::test {

// A pseudo-terminal standing in for the detector's line: the console opens
// the slave through a port alias, the test plays the detector on the master.
struct Pty {
    Pty() {
        if (::openpty(&master, &slave, name, nullptr, nullptr) != 0) master = slave = -1;
    }
    ~Pty() {
        CloseMaster();
        if (slave >= 0) ::close(slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool Ok() const { return slave >= 0; }
    // The detector hangs up: the console's side reads an end or an error.
    void CloseMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    // Reads on the master return at once, empty when nothing is pending.
    void MasterNonBlocking() const {
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    }
    // The detector sends; true when every byte went.
    bool Send(const std::vector<std::uint8_t>& bytes) const {
        return ::write(master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // What the console has written and the detector has not read yet (the
    // master must be non-blocking).
    std::vector<std::uint8_t> Drain() const {
        std::vector<std::uint8_t> bytes;
        std::uint8_t chunk[256];
        for (ssize_t n; (n = ::read(master, chunk, sizeof chunk)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + n);
        return bytes;
    }
    // Waits on the line, not on a clock: at most 2 s, against a hang only.
    static bool WaitReadable(int fd, int timeoutMs = 2000) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, timeoutMs) > 0;
    }

    int master = -1;
    int slave = -1;
    char name[128] = {};
};

}  // namespace quillane::test
