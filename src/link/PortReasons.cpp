#include "link/PortReasons.h"

#include <cstdio>

namespace quillane {

std::string InUseText(long long pid, const std::string& program) {
    return "in use by " + (program.empty() ? std::string("another program") : program) + " (pid " +
           std::to_string(pid) + ")";
}

std::string PermissionText(const std::string& devicePath, const DeviceAccess& access) {
    const unsigned groupReadWrite = 060;
    const bool joinable = (access.mode & groupReadWrite) == groupReadWrite &&
                          !access.group.empty() && access.group != "root";
    if (joinable) {
        // The new group counts only for a new login.
        return "Permission denied: " + devicePath + " belongs to group " + access.group +
               "; join it with: sudo usermod -aG " + access.group + " \"$USER\" and log in again";
    }
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", access.mode & 07777u);
    return "Permission denied: " + devicePath + " (owner " + access.owner + ", group " +
           access.group + ", mode " + mode +
           "); ask the machine's administrator for read and write access";
}

}  // namespace quillane
