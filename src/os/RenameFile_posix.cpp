#include <cerrno>
#include <cstdio>
#include <cstring>

#include "os/RenameFile.h"

namespace quillane {

bool RenameFileReplacing(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

}  // namespace quillane
