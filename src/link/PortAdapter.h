#pragma once

#include <map>
#include <string>

namespace quillane {

// What an installer knows a serial port by: not "ttyUSB0", which changes with
// the order of plugging in, but the adapter's own name as it reports it over
// USB, its serial number, and the name udev keeps for it under
// /dev/serial/by-id. Read from sysfs (sysRoot, normally /sys) and the device
// folder (deviceRoot, normally /dev), so that a test can hand in a fake tree.
// POSIX only: Windows names its ports through SetupAPI
// (SystemPortDirectory_win32.cpp).

// The kernel's name of the serial device a path leads to ("ttyUSB0"),
// following an alias and a /dev/serial/by-id link to it; empty when it leads
// to nothing the kernel lists as a terminal (a pseudo-terminal, a dangling
// alias).
std::string KernelTtyName(const std::string& path, const std::string& sysRoot);

// How the USB adapter behind that device calls itself: maker and product,
// its serial number, and the interface of a multi-port adapter ("FTDI FT232R
// USB UART, serial A50285BI"); "USB serial adapter 1a86:7523" when it gives
// no product name; empty for a device that is not on USB (a built-in port).
std::string AdapterDescription(const std::string& ttyName, const std::string& sysRoot);

// The /dev/serial/by-id names, keyed by the kernel name each leads to.
std::map<std::string, std::string> StableNames(const std::string& deviceRoot,
                                               const std::string& sysRoot);

}  // namespace quillane
