#include "os/RenameFile.h"

namespace quillane {

std::string EarlierGenerationPath(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.rfind('.');
    const bool hasExtension =
        dot != std::string::npos && dot != 0 && (slash == std::string::npos || dot > slash + 1);
    if (!hasExtension) return path + ".1";
    return path.substr(0, dot) + ".1" + path.substr(dot);
}

}  // namespace quillane
