#include "os/SystemClock.h"

namespace quillane {

std::tm SystemClock::LocalTime(std::time_t secs) {
    std::tm local{};
    localtime_s(&local, &secs);
    return local;
}

}  // namespace quillane
