#include <cstdio>

#include "os/RenameFile.h"

namespace quillane {

bool RenameFileReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace quillane
