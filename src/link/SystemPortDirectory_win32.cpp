#include <windows.h>
#include <winspool.h>

#include <set>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane {

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

}  // namespace quillane
