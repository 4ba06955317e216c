#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillane {

// The secret part of a view's address: 128 random bits as 32 lower-case hex
// digits, new at each start of sharing, so that an address seen or kept from
// an earlier sharing opens nothing.
constexpr std::size_t kViewTokenDigits = 32;
// Nothing when the system's random source failed: no sharing then.
std::optional<std::string> NewViewToken();

// Whether `given` is the token, in a time that does not depend on where they
// first differ (the time of an answer tells nothing about the token).
bool TokenMatches(std::string_view given, std::string_view token);

}  // namespace quillane
