// clang-format off
#include <windows.h>
#include <bcrypt.h>
// clang-format on

#include <limits>

#include "remote/SecureRandom.h"

namespace quillane {

bool FillSecureRandom(std::uint8_t* out, std::size_t size) {
    if (size > std::numeric_limits<ULONG>::max()) return false;
    const NTSTATUS status =
        ::BCryptGenRandom(nullptr, out, static_cast<ULONG>(size), BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return BCRYPT_SUCCESS(status);
}

}  // namespace quillane
