#include "remote/ViewToken.h"

#include <array>
#include <cstdint>

#include "remote/SecureRandom.h"

namespace quillane {

std::optional<std::string> NewViewToken() {
    std::array<std::uint8_t, kViewTokenDigits / 2> bytes{};
    if (!FillSecureRandom(bytes.data(), bytes.size())) return std::nullopt;
    static const char kHex[] = "0123456789abcdef";
    std::string token;
    token.reserve(kViewTokenDigits);
    for (const std::uint8_t b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0x0F];
    }
    return token;
}

bool TokenMatches(std::string_view given, std::string_view token) {
    if (given.size() != token.size() || token.empty()) return false;
    unsigned diff = 0;
    for (std::size_t i = 0; i < token.size(); ++i)
        diff |= static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(token[i]);
    return diff == 0;
}

}  // namespace quillane
