#include <windows.h>
// After windows.h, which these need.
#include <setupapi.h>
#include <winspool.h>

#include <map>
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

// UTF-16 from the system to the UTF-8 the entries carry.
std::string Utf8(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    out.resize(static_cast<size_t>(bytes) - 1);
    return out;
}

// The ports' device class, as Device Manager groups them ("Ports (COM &
// LPT)"); spelled out here so that no GUID library needs linking.
const GUID kPortsClass = {
    0x4d36e978, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// The name Device Manager shows for each present port ("USB Serial Port
// (COM3)", "Prolific USB-to-Serial Comm Port (COM4)"), by port number: what
// an installer recognises the adapter by. Wine lists what it has, often
// nothing.
std::map<int, std::string> FriendlyNames() {
    std::map<int, std::string> names;
    HDEVINFO devices = SetupDiGetClassDevsW(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return names;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        wchar_t portName[64] = {};
        HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        DWORD type = 0;
        DWORD size = sizeof(portName) - sizeof(wchar_t);  // room for the terminator
        const LONG read = RegQueryValueExW(key, L"PortName", nullptr, &type,
                                           reinterpret_cast<BYTE*>(portName), &size);
        RegCloseKey(key);
        if (read != ERROR_SUCCESS || type != REG_SZ) continue;
        const int number = SystemPortDirectory::PortNumberFromName(Utf8(portName));
        wchar_t friendly[256] = {};
        if (number < 1 ||
            !SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                               reinterpret_cast<BYTE*>(friendly),
                                               sizeof(friendly) - sizeof(wchar_t), nullptr))
            continue;
        names.emplace(number, Utf8(friendly));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return names;
}

std::string DevicePath(int number) { return "\\\\.\\COM" + std::to_string(number); }

}  // namespace

std::vector<int> SystemPortDirectory::ListPortNumbers() {
    std::set<int> numbers;  // ascending, each once though both lists name it
    AddRegisteredPorts(numbers);
    AddSpoolerPorts(numbers);
    std::vector<int> listed;
    for (int number : numbers)
        if (number >= 1 && number <= kMaxPorts) listed.push_back(number);
    return listed;
}

PortEntry SystemPortDirectory::Describe(int number) {
    PortEntry entry;
    entry.number = number;
    entry.device = DevicePath(number);
    const std::map<int, std::string> friendly = FriendlyNames();
    const auto name = friendly.find(number);
    if (name != friendly.end()) entry.adapter = name->second;
    return entry;
}

std::vector<PortEntry> SystemPortDirectory::EnumerateComPorts() {
    const std::map<int, std::string> friendly = FriendlyNames();
    std::vector<PortEntry> entries;
    for (int number : ListPortNumbers()) {
        const std::string device = DevicePath(number);
        entries.push_back(EntryFor(number, device, SerialPort::ProbeDevice(device)));
        const auto name = friendly.find(number);
        if (name != friendly.end()) entries.back().adapter = name->second;
    }
    return entries;
}

}  // namespace quillane
