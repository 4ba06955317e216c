#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "link/PortAdapter.h"

namespace quillane {

namespace fs = std::filesystem;

namespace {

// Links between an alias and the device: alias, by-id name, device. More
// than this is a loop.
constexpr int kMaxLinks = 8;
// From a terminal's device up to its USB device: port, interface, device.
constexpr int kMaxLevels = 6;
// A USB string descriptor holds at most 126 characters; a longer attribute is
// not one, and a tooltip line should stay readable.
constexpr std::size_t kMaxText = 64;

bool IsTerminal(const std::string& name, const std::string& sysRoot) {
    if (name.empty() || name == "." || name == "..") return false;
    std::error_code ec;
    return fs::exists(fs::path(sysRoot) / "class" / "tty" / name, ec);
}

// One sysfs attribute's first line without surrounding blanks; control
// characters dropped, as the adapter may report anything.
std::string Attribute(const fs::path& folder, const char* name) {
    std::ifstream in(folder / name);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    std::string text;
    for (char c : line) {
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) text += c;
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    return text.size() > kMaxText ? text.substr(0, kMaxText) : text;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& start) {
    if (start.size() > text.size()) return false;
    for (std::size_t i = 0; i < start.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(start[i])))
            return false;
    }
    return true;
}

// "FTDI FT232R USB UART"; a product that already begins with its maker's
// name ("Prolific PL2303") is not given it twice.
std::string ProductName(const fs::path& usbDevice) {
    const std::string maker = Attribute(usbDevice, "manufacturer");
    const std::string product = Attribute(usbDevice, "product");
    if (product.empty()) {
        const std::string ids =
            Attribute(usbDevice, "idVendor") + ":" + Attribute(usbDevice, "idProduct");
        return (maker.empty() ? "" : maker + " ") + "USB serial adapter " + ids;
    }
    if (maker.empty() || StartsWithIgnoringCase(product, maker)) return product;
    return maker + " " + product;
}

}  // namespace

std::string KernelTtyName(const std::string& path, const std::string& sysRoot) {
    fs::path at(path);
    for (int i = 0; i <= kMaxLinks; ++i) {
        const std::string name = at.filename().string();
        if (IsTerminal(name, sysRoot)) return name;
        std::error_code ec;
        if (!fs::is_symlink(at, ec)) return {};
        const fs::path target = fs::read_symlink(at, ec);
        if (ec) return {};
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
    }
    return {};
}

std::string AdapterDescription(const std::string& ttyName, const std::string& sysRoot) {
    if (!IsTerminal(ttyName, sysRoot)) return {};
    std::error_code ec;
    fs::path at = fs::canonical(fs::path(sysRoot) / "class" / "tty" / ttyName / "device", ec);
    if (ec) return {};
    // Going up from the port: the first folder with an interface number is
    // the port's USB interface, the first with a vendor id the USB device.
    std::string interfaceNumber;
    for (int i = 0; i < kMaxLevels && at.has_relative_path(); ++i, at = at.parent_path()) {
        if (interfaceNumber.empty()) interfaceNumber = Attribute(at, "bInterfaceNumber");
        if (Attribute(at, "idVendor").empty()) continue;
        std::string text = ProductName(at);
        const std::string serial = Attribute(at, "serial");
        if (!serial.empty()) text += ", serial " + serial;
        // Port A of a two-port adapter is interface 0, as is the one port of
        // nearly every other adapter: only the further ports need telling.
        const unsigned long number = std::strtoul(interfaceNumber.c_str(), nullptr, 16);
        if (number > 0) text += ", interface " + std::to_string(number);
        return text;
    }
    return {};
}

std::map<std::string, std::string> StableNames(const std::string& deviceRoot,
                                               const std::string& sysRoot) {
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(deviceRoot) / "serial" / "by-id", ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = KernelTtyName(it->path().string(), sysRoot);
        if (name.empty()) continue;
        // Two names for one device: the first by name, whatever order the
        // folder lists them in.
        const auto [known, added] = names.emplace(name, it->path().string());
        if (!added && it->path().string() < known->second) known->second = it->path().string();
    }
    return names;
}

}  // namespace quillane
