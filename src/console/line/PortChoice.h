#pragma once

#include <optional>
#include <vector>

#include "link/PortDirectory.h"

namespace quillane {

// The port selector's items after a listing: the ports that opened, and the
// port in use (open, or tried again after its device went away) even when
// the probe left it out, so that leaving the list without choosing changes
// nothing the selector says. The port in use is selected, else the last.
struct PortItems {
    std::vector<PortEntry> items;
    int selected = 0;  // a port number; 0 with no items
};
PortItems PortItemsFor(const std::vector<PortEntry>& listed, std::optional<int> inUse);

// A port that appeared since the last look: the highest of the numbers
// listed now that the last look did not list (the console takes it as it
// takes the last port at start); none when nothing appeared.
std::optional<int> NewPort(const std::vector<int>& before, const std::vector<int>& now);

}  // namespace quillane
