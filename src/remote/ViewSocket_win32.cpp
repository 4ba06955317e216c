// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include <vector>

#include "remote/ViewSocket.h"

namespace quillane::viewsocket {
namespace {

SOCKET Sock(Handle socket) { return static_cast<SOCKET>(socket); }

int Clip(std::size_t size) { return size > 1u << 30 ? 1 << 30 : static_cast<int>(size); }

}  // namespace

Wait WaitUntil(Handle socket, bool forWriting, int ms) {
    WSAPOLLFD p{};
    p.fd = Sock(socket);
    p.events = forWriting ? POLLWRNORM : POLLRDNORM;
    const int n = ::WSAPoll(&p, 1, ms);
    if (n < 0) return Wait::Failed;
    if (n == 0) return Wait::TimedOut;
    return Wait::Ready;
}

long Receive(Handle socket, char* into, std::size_t size) {
    return ::recv(Sock(socket), into, Clip(size), 0);
}

long Send(Handle socket, const char* from, std::size_t size) {
    return ::send(Sock(socket), from, Clip(size), 0);
}

void ShutDown(Handle socket) { ::shutdown(Sock(socket), SD_BOTH); }

void SetNonBlocking(Handle socket) {
    u_long on = 1;
    ::ioctlsocket(Sock(socket), FIONBIO, &on);
}

long SendNow(Handle socket, const char* from, std::size_t size) {
    const long n = Send(socket, from, size);
    if (n < 0 && ::WSAGetLastError() == WSAEWOULDBLOCK) return kWouldWait;
    return n;
}

void Close(Handle socket) { ::closesocket(Sock(socket)); }

bool Address(Handle socket, bool peer, std::string& ip, int& port) {
    sockaddr_storage addr{};
    int length = sizeof addr;
    auto* a = reinterpret_cast<sockaddr*>(&addr);
    const int r =
        peer ? ::getpeername(Sock(socket), a, &length) : ::getsockname(Sock(socket), a, &length);
    if (r != 0 || addr.ss_family != AF_INET) return false;
    auto* in = reinterpret_cast<sockaddr_in*>(&addr);
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) return false;
    ip = text;
    port = ntohs(in->sin_port);
    return true;
}

void ListenOptions(Handle socket) {
    // Without it another program may bind the same port over ours.
    BOOL yes = TRUE;
    ::setsockopt(Sock(socket), SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
                 sizeof yes);
}

void Backlog(Handle socket, int backlog) { ::listen(Sock(socket), backlog); }

std::vector<std::string> LocalIpv4Addresses() {
    std::vector<std::string> found;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG r = ERROR_BUFFER_OVERFLOW;
    for (int tries = 0; tries < 3 && r == ERROR_BUFFER_OVERFLOW; ++tries) {
        buffer.resize(size);
        r = ::GetAdaptersAddresses(
            AF_INET, GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER,
            nullptr, reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (r != NO_ERROR) return found;
    for (auto* a = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); a; a = a->Next) {
        if (a->OperStatus != IfOperStatusUp || a->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        for (auto* u = a->FirstUnicastAddress; u; u = u->Next) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(u->Address.lpSockaddr);
            if (in->sin_family != AF_INET) continue;
            char text[INET_ADDRSTRLEN] = {};
            if (!::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text)) continue;
            if (std::string(text).rfind("127.", 0) == 0) continue;
            found.emplace_back(text);
        }
    }
    return found;
}

}  // namespace quillane::viewsocket
