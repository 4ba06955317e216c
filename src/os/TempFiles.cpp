#include "os/TempFiles.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace quillane {

namespace {

const char kTempMark[] = ".tmp-";

// The writer's process id in a temporary file name of ours ("<name>.tmp-<pid>-<n>"
// with name the target's), or -1 for any other name.
long long WriterOf(const std::string& fileName, const std::string& targetName) {
    const std::string prefix = targetName + kTempMark;
    if (fileName.compare(0, prefix.size(), prefix) != 0) return -1;
    long long pid = 0;
    size_t i = prefix.size();
    for (; i < fileName.size() && i - prefix.size() < 10 &&
           std::isdigit(static_cast<unsigned char>(fileName[i]));
         ++i)
        pid = pid * 10 + (fileName[i] - '0');
    const bool shaped = i > prefix.size() && i < fileName.size() && fileName[i] == '-';
    return shaped ? pid : -1;
}

}  // namespace

std::string TempNameFor(const std::string& target, std::random_device& rd) {
    return target + kTempMark + std::to_string(CurrentProcessId()) + "-" +
           std::to_string(rd() % 1000000u);
}

// Removes what writes killed before their rename left beside target. A file
// whose writer still runs is another console's write in progress; one that
// names our own process is from an earlier process with our id, since our
// own writes never overlap.
void RemoveStaleTempFiles(const std::string& target) {
    namespace fs = std::filesystem;
    const fs::path path = fs::u8path(target);
    const std::string targetName = path.filename().u8string();
    std::error_code ec;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long long pid = WriterOf(it->path().filename().u8string(), targetName);
        if (pid < 0 || (pid != CurrentProcessId() && ProcessIsAlive(pid))) continue;
        if (it->is_regular_file(ec) && !it->is_symlink(ec)) RemoveFile(it->path().u8string());
    }
}

}  // namespace quillane
