#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillane {

// Who is at the console: decides the pages offered and the caption suffix.
// Chosen only through the access dialog; it starts at basic with every run.
enum AccessLevel : std::uint8_t { EAccBasic = 0, EAccAdvanced = 1, EAccDeveloper = 2 };

// Results of the access dialog, with the values of the standard dialog results.
namespace dialog_result {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kRetry = 4;
constexpr int kYes = 6;
}  // namespace dialog_result

// The window caption for a level, always rebuilt from the base caption so
// that the developer suffix can never appear twice.
std::string CaptionFor(const std::string& baseCaption, AccessLevel level);

// The level a dialog result asks for; nothing for Cancel or a closed dialog,
// which leave the level as it is.
std::optional<AccessLevel> LevelForResult(int result);

}  // namespace quillane
