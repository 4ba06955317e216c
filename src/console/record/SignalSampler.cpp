#include "console/record/SignalSampler.h"

#include <algorithm>

namespace quillane {

std::optional<SignalSampler::Sample> SignalSampler::Take(double nowSeconds, double nowDays,
                                                         double deviation) {
    std::optional<Sample> finished;
    if (open_ && nowSeconds - startSeconds_ >= kPeriodSeconds) finished = Flush();
    if (!open_) {
        open_ = true;
        startSeconds_ = nowSeconds;
        sample_ = Sample{nowDays, 0, deviation, deviation};
        return finished;
    }
    sample_.seconds = nowSeconds - startSeconds_;
    sample_.low = std::min(sample_.low, deviation);
    sample_.high = std::max(sample_.high, deviation);
    return finished;
}

std::optional<SignalSampler::Sample> SignalSampler::Flush() {
    if (!open_) return std::nullopt;
    open_ = false;
    return sample_;
}

}  // namespace quillane
