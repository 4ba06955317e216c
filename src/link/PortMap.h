#pragma once

#include <string>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// Port numbers on this machine. COM<n> is first an alias,
// $XDG_CONFIG_HOME/quillane/ports/COM<n> (XDG_CONFIG_HOME defaults to
// ~/.config), a symbolic link to any device; otherwise COM1-COM32 are
// /dev/ttyS0-31, COM33-COM64 /dev/ttyUSB0-31 and COM65-COM96 /dev/ttyACM0-31.
// POSIX only: Windows reaches COM<n> by its own name (SerialPort_win32.cpp).

// The alias folder, whether or not it exists.
std::string PortAliasDirectory();
// The device a port number reaches: the alias path when the alias exists,
// else the family device path; empty for a number that maps to nothing.
std::string DevicePathForPort(int number);
// Port numbers that have an alias or an existing family device, ascending,
// at most kMaxPorts of them.
std::vector<int> CandidatePortNumbers();

// The same with the device families looked up under deviceRoot instead of
// /dev, so that a test can list ports without touching a real device.
std::string DevicePathForPort(int number, const std::string& deviceRoot);
std::vector<int> CandidatePortNumbers(const std::string& deviceRoot);

}  // namespace quillane
