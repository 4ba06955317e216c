#include "console/line/PortChoice.h"

#include <algorithm>

namespace quillane {

PortItems PortItemsFor(const std::vector<PortEntry>& listed, std::optional<int> inUse) {
    PortItems p;
    for (const PortEntry& e : listed) {
        if (static_cast<int>(p.items.size()) == kMaxPorts) break;
        if (e.available || e.number == inUse) p.items.push_back(e);
    }
    // Gone from the listing altogether (an adapter pulled): still the port in use.
    const auto number = [](const PortEntry& e) { return e.number; };
    if (inUse && std::none_of(p.items.begin(), p.items.end(),
                              [&](const PortEntry& e) { return number(e) == *inUse; })) {
        PortEntry e;
        e.number = *inUse;
        const auto at = std::find_if(p.items.begin(), p.items.end(),
                                     [&](const PortEntry& o) { return number(o) > *inUse; });
        p.items.insert(at, e);
    }
    if (!p.items.empty()) p.selected = inUse ? *inUse : p.items.back().number;
    return p;
}

std::optional<int> NewPort(const std::vector<int>& before, const std::vector<int>& now) {
    std::optional<int> fresh;
    for (const int n : now)
        if (std::find(before.begin(), before.end(), n) == before.end() && (!fresh || n > *fresh))
            fresh = n;
    return fresh;
}

}  // namespace quillane
