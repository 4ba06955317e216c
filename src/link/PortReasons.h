#pragma once

#include <string>

namespace quillane {

// The words a port selector's tooltip shows when a port cannot be taken,
// written for the installer who has to act on them.

// A port another program holds, when who holds it is not known.
inline constexpr char kBusyText[] = "Device or resource busy (held by another program)";

// A port whose device is no terminal at all (an alias to /dev/null, a file).
inline constexpr char kNotSerialText[] = "Not a serial device";

// A refused open whose holder we know: "in use by minicom (pid 4242)";
// "another program" when the process's name cannot be read.
std::string InUseText(long long pid, const std::string& program);

// A device the user may not open. When its group may read and write it (and
// is no administrators' group), joining that group is the remedy, and the
// text gives the command for it; otherwise it names owner, group and mode for
// whoever sets up the machine.
struct DeviceAccess {
    std::string owner;
    std::string group;
    unsigned mode = 0;  // permission bits
};
std::string PermissionText(const std::string& devicePath, const DeviceAccess& access);

}  // namespace quillane
