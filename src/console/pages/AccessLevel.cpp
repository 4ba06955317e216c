#include "console/pages/AccessLevel.h"

namespace quillane {

std::string CaptionFor(const std::string& baseCaption, AccessLevel level) {
    if (level == EAccDeveloper) return baseCaption + ": Developer access";
    return baseCaption;
}

std::optional<AccessLevel> LevelForResult(int result) {
    switch (result) {
        case dialog_result::kOk:
            return EAccAdvanced;
        case dialog_result::kYes:
            return EAccDeveloper;
        case dialog_result::kRetry:
            return EAccBasic;
        default:
            return std::nullopt;
    }
}

}  // namespace quillane
