#pragma once

#include <string>

namespace quillane {

// The alarm counters keep their count only as the text of their label: the
// next count is that text read as a decimal integer (0 when it does not read)
// plus one, written back in decimal.
std::string NextAlarmCount(const std::string& countText);

}  // namespace quillane
