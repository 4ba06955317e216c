#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillane::viewsocket {

// The few socket calls the view's server makes itself, one body per system.
// A socket travels as a wide integer: a descriptor on POSIX, a SOCKET on
// Windows.
using Handle = std::intptr_t;

enum class Wait { Ready, TimedOut, Failed };
// Waits until the socket can be read (or written), at most `ms` milliseconds.
Wait WaitUntil(Handle socket, bool forWriting, int ms);
// One receive or send of at most `size` bytes; a negative count on failure, 0
// when the peer closed (receive). A peer gone raises no signal.
long Receive(Handle socket, char* into, std::size_t size);
long Send(Handle socket, const char* from, std::size_t size);
// Ends both directions at once: whatever waits on the socket returns.
void ShutDown(Handle socket);
// From here on sends never wait: SendNow takes what fits now.
void SetNonBlocking(Handle socket);
constexpr long kWouldWait = -2;
// What the socket takes now of `size` bytes, kWouldWait when nothing fits,
// negative on failure (the peer gone).
long SendNow(Handle socket, const char* from, std::size_t size);
void Close(Handle socket);
// "a.b.c.d" and the port of the far end (or of this end).
bool Address(Handle socket, bool peer, std::string& ip, int& port);
// The listening socket's options: only this program may take its port (a
// second console asking for the same port must fail, not share it), while a
// port left in TIME_WAIT by the last sharing may be taken again.
void ListenOptions(Handle socket);
// Lets `backlog` connections wait for the server to take them: a burst of
// connections is then answered (503 beyond the limit) instead of being
// dropped by the system and tried again by the phones seconds later.
void Backlog(Handle socket, int backlog);

// The machine's IPv4 addresses other than loopback, of interfaces that are up:
// where a phone on the same network reaches the view.
std::vector<std::string> LocalIpv4Addresses();

}  // namespace quillane::viewsocket
