#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "link/PortMap.h"

namespace quillane {

namespace fs = std::filesystem;

namespace {

const char kSystemDeviceRoot[] = "/dev";

struct Family {
    int first;  // port number of the family's device 0
    const char* name;
};
// 32 devices each, in this order from COM1.
const Family kFamilies[] = {{1, "ttyS"}, {33, "ttyUSB"}, {65, "ttyACM"}};
const int kFamilySize = 32;

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    if (const passwd* pw = ::getpwuid(::getuid())) return pw->pw_dir;
    return ".";
}

std::string AliasPath(int number) {
    return (fs::path(PortAliasDirectory()) / ("COM" + std::to_string(number))).string();
}

// A dangling link still counts: the user named that port, and its probe
// tells why it does not open.
bool AliasExists(int number) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(AliasPath(number), ec));
}

std::string FamilyPath(int number, const std::string& deviceRoot) {
    for (const Family& f : kFamilies) {
        if (number >= f.first && number < f.first + kFamilySize) {
            return deviceRoot + "/" + f.name + std::to_string(number - f.first);
        }
    }
    return {};
}

}  // namespace

std::string PortAliasDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // Relative values are to be ignored, as the base-directory rules say.
    fs::path base =
        (xdg != nullptr && xdg[0] == '/') ? fs::path(xdg) : fs::path(HomeDirectory()) / ".config";
    return (base / "quillane" / "ports").string();
}

std::string DevicePathForPort(int number) { return DevicePathForPort(number, kSystemDeviceRoot); }

std::string DevicePathForPort(int number, const std::string& deviceRoot) {
    if (number < 1 || number > kMaxPorts) return {};
    if (AliasExists(number)) return AliasPath(number);
    return FamilyPath(number, deviceRoot);
}

std::vector<int> CandidatePortNumbers() { return CandidatePortNumbers(kSystemDeviceRoot); }

std::vector<int> CandidatePortNumbers(const std::string& deviceRoot) {
    std::vector<int> numbers;
    for (int n = 1; n <= kMaxPorts && numbers.size() < static_cast<size_t>(kMaxPorts); ++n) {
        std::error_code ec;
        const std::string family = FamilyPath(n, deviceRoot);
        if (AliasExists(n) || (!family.empty() && fs::exists(family, ec))) numbers.push_back(n);
    }
    return numbers;
}

}  // namespace quillane
