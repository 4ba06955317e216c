#include "link/SystemPortDirectory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

#include "link/PortMap.h"
#include "link/SerialPort.h"

#ifdef _WIN32
#include <windows.h>
#include <winspool.h>
#else
#include "link/DeviceUsers.h"
#endif

namespace quillane {

namespace {

// A port is offered when nothing holds it; the reason is kept for the
// selector's tooltip when none can be offered.
PortEntry EntryFor(int number, const std::string& device, std::string reason) {
    PortEntry entry;
    entry.number = number;
    entry.device = device;
    entry.available = reason.empty();
    entry.reason = std::move(reason);
    return entry;
}

}  // namespace

int SystemPortDirectory::PortNumberFromName(const std::string& name) {
    if (name.size() < 3) return 0;
    for (int i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return 0;
    }
    int number = 0;
    for (size_t i = 3; i < name.size() && i < 6; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) break;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

#ifdef _WIN32

namespace {

// The serial ports their drivers have registered: present whether or not the
// print spooler runs (it is often switched off on hardened machines).
void AddRegisteredPorts(std::set<int>& numbers) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[64] = {};
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);  // room for the terminator
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, i, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataBytes);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS || type != REG_SZ) continue;
        // Port names are ASCII ("COM3"); anything else is no COM port.
        std::string text;
        for (const wchar_t* c = data; *c != L'\0'; ++c)
            text += *c < 128 ? static_cast<char>(*c) : '?';
        numbers.insert(SystemPortDirectory::PortNumberFromName(text));
    }
    RegCloseKey(key);
}

// The spooler's port list also names ports that only a printer setup knows.
void AddSpoolerPorts(std::set<int>& numbers) {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPortsA(nullptr, 1, nullptr, 0, &needed, &returned);
    if (needed == 0) return;
    std::vector<BYTE> buffer(needed);
    if (!EnumPortsA(nullptr, 1, buffer.data(), needed, &needed, &returned)) return;
    const auto* ports = reinterpret_cast<const PORT_INFO_1A*>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) {
        numbers.insert(
            SystemPortDirectory::PortNumberFromName(ports[i].pName ? ports[i].pName : ""));
    }
}

}  // namespace

std::vector<PortEntry> SystemPortDirectory::EnumerateComPorts() {
    std::set<int> numbers;  // ascending, each once though both lists name it
    AddRegisteredPorts(numbers);
    AddSpoolerPorts(numbers);
    std::vector<PortEntry> entries;
    for (int number : numbers) {
        if (number < 1 || number > kMaxPorts) continue;
        const std::string device = "\\\\.\\COM" + std::to_string(number);
        entries.push_back(EntryFor(number, device, SerialPort::ProbeDevice(device)));
    }
    return entries;
}

#else

namespace {

// An alias is shown by the device it points at, which is what the user
// recognises (a /dev/serial/by-id name, a pseudo-terminal).
std::string ShownDevice(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(path, ec)) return path;
    const auto target = std::filesystem::read_symlink(path, ec);
    return ec ? path : target.string();
}

}  // namespace

std::vector<PortEntry> SystemPortDirectory::EnumerateComPorts() {
    std::vector<std::pair<int, std::string> > ports;
    std::vector<std::string> paths;
    for (int number : CandidatePortNumbers(deviceRoot_)) {
        if (ports.size() >= static_cast<size_t>(kMaxPorts)) break;
        ports.emplace_back(number, DevicePathForPort(number, deviceRoot_));
        paths.push_back(ports.back().second);
    }
    // One look through the processes serves every port of the list.
    const DeviceUsers users = DeviceUsers::Scan(paths);
    std::vector<PortEntry> entries;
    for (const auto& [number, path] : ports) {
        std::string reason = HeldElsewhere(path, users);
        if (reason.empty()) reason = SerialPort::ProbeDevice(path);
        entries.push_back(EntryFor(number, ShownDevice(path), std::move(reason)));
    }
    return entries;
}

#endif

}  // namespace quillane
