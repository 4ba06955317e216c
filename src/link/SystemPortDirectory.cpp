#include "link/SystemPortDirectory.h"

#include <cctype>
#include <utility>

namespace quillane {

// The listing of ports has each system's body in SystemPortDirectory_<system>.cpp;
// what both share is here.

PortEntry SystemPortDirectory::EntryFor(int number, const std::string& device, std::string reason) {
    PortEntry entry;
    entry.number = number;
    entry.device = device;
    entry.available = reason.empty();
    entry.reason = std::move(reason);
    return entry;
}

int SystemPortDirectory::PortNumberFromName(const std::string& name) {
    if (name.size() < 3) return 0;
    for (int i = 0; i < 3; ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return 0;
    }
    int number = 0;
    for (size_t i = 3; i < name.size() && i < 6; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) break;
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

}  // namespace quillane
