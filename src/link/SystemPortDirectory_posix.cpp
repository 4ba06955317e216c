#include <filesystem>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "link/DeviceUsers.h"
#include "link/PortAdapter.h"
#include "link/PortMap.h"
#include "link/SerialPort.h"
#include "link/SystemPortDirectory.h"

namespace quillane {

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

namespace {

// The adapter and the lasting name of a port's device, from the kernel's view.
void NameAdapter(PortEntry& entry, const std::string& path, const std::string& sysRoot,
                 const std::map<std::string, std::string>& stableNames) {
    const std::string tty = KernelTtyName(path, sysRoot);
    entry.adapter = AdapterDescription(tty, sysRoot);
    const auto stable = stableNames.find(tty);
    if (stable != stableNames.end() && stable->second != entry.device)
        entry.stableName = stable->second;
}

}  // namespace

std::vector<int> SystemPortDirectory::ListPortNumbers() {
    return CandidatePortNumbers(deviceRoot_);
}

PortEntry SystemPortDirectory::Describe(int number) {
    const std::string path = DevicePathForPort(number, deviceRoot_);
    PortEntry entry;
    entry.number = number;
    entry.device = ShownDevice(path);
    NameAdapter(entry, path, sysRoot_, StableNames(deviceRoot_, sysRoot_));
    return entry;
}

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
    const auto stableNames = StableNames(deviceRoot_, sysRoot_);
    std::vector<PortEntry> entries;
    for (const auto& [number, path] : ports) {
        std::string reason = HeldElsewhere(path, users);
        if (reason.empty()) reason = SerialPort::ProbeDevice(path);
        entries.push_back(EntryFor(number, ShownDevice(path), std::move(reason)));
        NameAdapter(entries.back(), path, sysRoot_, stableNames);
    }
    return entries;
}

}  // namespace quillane
