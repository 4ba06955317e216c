#include "StreamPacer.h"

#include <algorithm>
#include <cmath>

namespace quillane {

namespace {
constexpr double kBurstSeconds = 0.005;
}

StreamPacer::StreamPacer(int framesPerSecond)
    : rate_(std::max(1, framesPerSecond)),
      maxBurst_(std::max(2, static_cast<int>(std::ceil(rate_ * kBurstSeconds)))) {}

int StreamPacer::Due(double t) {
    if (t < 0) return 0;
    const long long dueUpTo = static_cast<long long>(std::floor(t * rate_)) + 1;
    long long due = dueUpTo - next_;
    if (due <= 0) return 0;
    if (due > maxBurst_) {
        skipped_ += due - maxBurst_;
        due = maxBurst_;
    }
    next_ = dueUpTo;
    return static_cast<int>(due);
}

double StreamPacer::NextDue() const { return static_cast<double>(next_) / rate_; }

}  // namespace quillane
