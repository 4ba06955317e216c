#include "console/record/ReportFile.h"

#include "os/FileStore.h"

namespace quillane {
namespace {

// Enough for any folder but one that is filled on purpose.
constexpr int kNamesTried = 1000;

}  // namespace

std::optional<std::string> WriteReportFile(const std::string& folder, const std::string& name,
                                           const std::string& bytes, std::string& error) {
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    const std::string base = folder.empty() ? std::string() : folder + "/";
    for (int n = 1; n <= kNamesTried; ++n) {
        const std::string path =
            base + (n == 1 ? name : stem + "-" + std::to_string(n) + extension);
        switch (WriteNewFile(path, bytes, error)) {
            case NewFile::Written:
                return path;
            case NewFile::Failed:
                return std::nullopt;
            case NewFile::NameTaken:
                break;
        }
    }
    error = base + name + ": no free name among the " + std::to_string(kNamesTried) + " tried";
    return std::nullopt;
}

}  // namespace quillane
