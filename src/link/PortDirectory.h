#pragma once

#include <string>
#include <vector>

namespace quillane {

// Port numbers run from COM1 to COM255; no list holds more.
constexpr int kMaxPorts = 255;

// One port number found by enumeration.
struct PortEntry {
    int number = 0;          // the N of "COM<N>"
    bool available = false;  // the probe opened it
    std::string device;      // what the number maps to (device path), for tooltips
    std::string reason;      // why the probe failed, empty when available
    // The adapter behind the port as people know it ("FTDI FT232R USB UART,
    // serial A50285BI"; on Windows the device's friendly name), for tooltips;
    // empty when the system names none.
    std::string adapter{};
    // A name of the device that outlives replugging (/dev/serial/by-id/...),
    // empty when there is none or `device` is already that name.
    std::string stableName{};
};

// Lists the port numbers present on this machine, probing each by opening it.
class PortDirectory {
public:
    virtual ~PortDirectory() = default;
    // Ascending port numbers, at most 255 entries.
    virtual std::vector<PortEntry> EnumerateComPorts() = 0;

    // The port numbers present now, ascending, without opening any: cheap
    // enough to ask every second for an adapter plugged in.
    virtual std::vector<int> ListPortNumbers() {
        std::vector<int> numbers;
        for (const PortEntry& e : EnumerateComPorts()) numbers.push_back(e.number);
        return numbers;
    }
    // One port as it is named now (its device, adapter and lasting name),
    // without opening it: the console holds it. Whether it would open is not
    // asked, and `available` stays false.
    virtual PortEntry Describe(int number) {
        PortEntry entry;
        entry.number = number;
        return entry;
    }
};

}  // namespace quillane
