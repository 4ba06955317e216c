#include "os/RenameFile.h"
#include "os/WidePath.h"

namespace quillane {

bool RenameFileReplacing(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    error = SystemText(GetLastError());
    return false;
}

}  // namespace quillane
