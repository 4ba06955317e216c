#include <sys/random.h>

#include <cerrno>

#include "remote/SecureRandom.h"

namespace quillane {

bool FillSecureRandom(std::uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        // Blocks only until the kernel's pool is first seeded, at boot.
        const ssize_t n = ::getrandom(out + done, size - done, 0);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace quillane
