#pragma once

#include <string>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// What the port selector's tooltip says after a port did not open, in words
// the installer can act on. chosenItem is the selected item ("COM5"; empty
// when the list was empty), reason the line's own reason for the failure.
// With nothing to choose, the ports the list left out say why, at most
// kMaxProblemPorts of them.
constexpr int kMaxProblemPorts = 8;
std::string PortProblemText(const std::string& chosenItem, const std::string& reason,
                            const std::vector<PortEntry>& leftOut);

}  // namespace quillane
