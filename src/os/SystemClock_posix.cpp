#include "os/SystemClock.h"

namespace quillane {

std::tm SystemClock::LocalTime(std::time_t secs) {
    std::tm local{};
    localtime_r(&secs, &local);
    return local;
}

}  // namespace quillane
