#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace quillane::test {

// A client that speaks plain bytes to a server on this machine's loopback,
// so that a test can send what no browser would: a path left as it is, a
// head that never ends, a body. Reads wait for the server, bounded against
// a hang.
class RawClient {
public:
    explicit RawClient(int port, int receiveBuffer = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawClient() { Close(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return connected_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

    bool Send(const std::string& bytes) {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    // What arrives until `needle` is in it, the server closes, or `ms` pass.
    std::string ReadUntil(const std::string& needle, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (needle.empty() || received_.find(needle) == std::string::npos) {
            if (!ReadSome(end)) break;
        }
        return received_;
    }
    // Everything until the server closes (or `ms` pass).
    std::string ReadAll(int ms) { return ReadUntil(std::string(), ms); }
    // Whether the server closed the connection (end or reset) within `ms`.
    bool ClosedWithin(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (ReadSome(end)) {
        }
        return closed_;
    }
    bool Closed() const { return closed_; }
    const std::string& Received() const { return received_; }

private:
    // One read, waiting until `end`; false once nothing more will come.
    bool ReadSome(std::chrono::steady_clock::time_point end) {
        if (closed_) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        received_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    std::string received_;
};

// The status code of a response's first line; 0 when there is none.
inline int StatusOf(const std::string& response) {
    if (response.rfind("HTTP/1.1 ", 0) != 0 || response.size() < 12) return 0;
    return std::stoi(response.substr(9, 3));
}

// The body of a whole response (after the blank line).
inline std::string BodyOf(const std::string& response) {
    const std::size_t at = response.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : response.substr(at + 4);
}

}  // namespace quillane::test
