#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "remote/ViewSocket.h"

namespace quillane::viewsocket {
namespace {

int Fd(Handle socket) { return static_cast<int>(socket); }

}  // namespace

Wait WaitUntil(Handle socket, bool forWriting, int ms) {
    pollfd p{Fd(socket), static_cast<short>(forWriting ? POLLOUT : POLLIN), 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, ms);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return Wait::Failed;
    if (n == 0) return Wait::TimedOut;
    // A hang-up or error is "ready": the next call reports it.
    return Wait::Ready;
}

long Receive(Handle socket, char* into, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::recv(Fd(socket), into, size, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long Send(Handle socket, const char* from, std::size_t size) {
    ssize_t n = 0;
    do {
        n = ::send(Fd(socket), from, size, MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

void ShutDown(Handle socket) { ::shutdown(Fd(socket), SHUT_RDWR); }

void SetNonBlocking(Handle socket) {
    ::fcntl(Fd(socket), F_SETFL, ::fcntl(Fd(socket), F_GETFL) | O_NONBLOCK);
}

long SendNow(Handle socket, const char* from, std::size_t size) {
    const long n = Send(socket, from, size);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return kWouldWait;
    return n;
}

void Close(Handle socket) { ::close(Fd(socket)); }

bool Address(Handle socket, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    auto* a = reinterpret_cast<sockaddr*>(&addr);
    const int r =
        peer ? ::getpeername(Fd(socket), a, &length) : ::getsockname(Fd(socket), a, &length);
    if (r != 0 || addr.ss_family != AF_INET) return false;
    const auto* in = reinterpret_cast<const sockaddr_in*>(&addr);
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) return false;
    ip = text;
    port = ntohs(in->sin_port);
    return true;
}

void ListenOptions(Handle socket) {
    // Not SO_REUSEPORT: with it a second program could bind the same port
    // and take half of the phone's connections.
    int yes = 1;
    ::setsockopt(Fd(socket), SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

void Backlog(Handle socket, int backlog) { ::listen(Fd(socket), backlog); }

std::vector<std::string> LocalIpv4Addresses() {
    std::vector<std::string> found;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return found;
    for (const ifaddrs* i = list; i; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
        if ((i->ifa_flags & IFF_UP) == 0 || (i->ifa_flags & IFF_LOOPBACK) != 0) continue;
        const auto* in = reinterpret_cast<const sockaddr_in*>(i->ifa_addr);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) found.emplace_back(text);
    }
    ::freeifaddrs(list);
    return found;
}

}  // namespace quillane::viewsocket
