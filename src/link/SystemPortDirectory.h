#pragma once

#include <string>
#include <utility>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// The ports of this machine, each probed by opening it as SerialPort::Open
// does and closing it at once. On Linux the candidates are the port aliases and
// the serial device families (see PortMap.h); on Windows the registered serial
// ports together with the print spooler's port list.
class SystemPortDirectory : public PortDirectory {
public:
    SystemPortDirectory() = default;
    // Looks the device families and /dev/serial/by-id up under deviceRoot
    // instead of /dev, and the adapters under sysRoot instead of /sys (tests).
    explicit SystemPortDirectory(std::string deviceRoot, std::string sysRoot = "/sys")
        : deviceRoot_(std::move(deviceRoot)), sysRoot_(std::move(sysRoot)) {}

    std::vector<PortEntry> EnumerateComPorts() override;
    std::vector<int> ListPortNumbers() override;
    PortEntry Describe(int number) override;

    // The port number in a spooler port name: "COM1:" gives 1, "com12" 12;
    // at most three characters after "COM", up to ':' or the end; 0 when the
    // name is not a COM port or carries no digits.
    static int PortNumberFromName(const std::string& name);

private:
    // A port is offered when nothing holds it; the reason is kept for the
    // selector's tooltip when none can be offered.
    static PortEntry EntryFor(int number, const std::string& device, std::string reason);

    std::string deviceRoot_ = "/dev";
    std::string sysRoot_ = "/sys";
};

}  // namespace quillane
