#include <dirent.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
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

// The number that follows `prefix` in `name`, written as the port map writes
// it (decimal, no sign, no leading zero), when it lies from lo to hi.
std::optional<int> NumberAfter(const char* name, const char* prefix, int lo, int hi) {
    const std::size_t length = std::strlen(prefix);
    if (std::strncmp(name, prefix, length) != 0) return std::nullopt;
    const char* digits = name + length;
    if (digits[0] == '\0' || (digits[0] == '0' && digits[1] != '\0')) return std::nullopt;
    int n = 0;
    for (const char* c = digits; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || n > hi) return std::nullopt;
        n = n * 10 + (*c - '0');
    }
    return n >= lo && n <= hi ? std::optional<int>(n) : std::nullopt;
}

// Every entry of a folder; none when it cannot be read.
template <typename Take>
void ForEachEntry(const std::string& folder, Take take) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) take(*entry);
    ::closedir(dir);
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
    // Two reads of a folder rather than a look at each of the 255 names: the
    // console lists the port numbers every second, linked or not, to notice
    // an adapter plugged in.
    std::vector<bool> present(kMaxPorts + 1, false);
    ForEachEntry(PortAliasDirectory(), [&present](const dirent& entry) {
        if (const std::optional<int> n = NumberAfter(entry.d_name, "COM", 1, kMaxPorts))
            present[*n] = true;
    });
    ForEachEntry(deviceRoot, [&present, &deviceRoot](const dirent& entry) {
        for (const Family& f : kFamilies) {
            const std::optional<int> k = NumberAfter(entry.d_name, f.name, 0, kFamilySize - 1);
            if (!k) continue;
            // A device node is there; a link is there only when it leads to
            // something, and a folder that does not say asks the system.
            std::error_code ec;
            const bool node = entry.d_type == DT_CHR || entry.d_type == DT_BLK ||
                              entry.d_type == DT_REG || entry.d_type == DT_FIFO ||
                              entry.d_type == DT_SOCK || entry.d_type == DT_DIR;
            if (node || fs::exists(deviceRoot + "/" + entry.d_name, ec))
                present[f.first + *k] = true;
        }
    });
    std::vector<int> numbers;
    for (int n = 1; n <= kMaxPorts; ++n)
        if (present[n]) numbers.push_back(n);
    return numbers;
}

}  // namespace quillane
