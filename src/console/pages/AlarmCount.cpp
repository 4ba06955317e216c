#include "console/pages/AlarmCount.h"

#include "model/NumberFormat.h"

namespace quillane {

std::string NextAlarmCount(const std::string& countText) {
    // Counted in 64 bits: a label that reads the largest int still goes on.
    const long long count = NumberFormat::ParseInt(countText).value_or(0);
    return std::to_string(count + 1);
}

}  // namespace quillane
