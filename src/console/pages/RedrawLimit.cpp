#include "console/pages/RedrawLimit.h"

#include <algorithm>

#include "model/Conversions.h"

namespace quillane {

bool RedrawLimit::Allow(double nowSeconds, int selectFilter) {
    if (RefreshDue(nowSeconds, dblLastRefresh, selectFilter)) {
        Pass(nowSeconds);
        return true;
    }
    waiting_ = true;
    if (refused) refused();
    return false;
}

void RedrawLimit::Pass(double nowSeconds) {
    dblLastRefresh = nowSeconds;
    waiting_ = false;
}

std::optional<double> RedrawLimit::TrailingIn(double nowSeconds, int selectFilter) const {
    if (!waiting_) return std::nullopt;
    return std::max(0.0, dblLastRefresh + RefreshInterval(selectFilter) - nowSeconds);
}

bool RedrawLimit::TakeTrailing() {
    const bool was = waiting_;
    waiting_ = false;
    return was;
}

}  // namespace quillane
