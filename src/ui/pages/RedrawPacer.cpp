#include "ui/pages/RedrawPacer.h"

#include <cmath>

#include "console/line/PollPlan.h"
#include "model/Conversions.h"
#include "os/Clock.h"

namespace quillane {

RedrawPacer::RedrawPacer(const Clock& clock, std::function<void()> present, QObject* parent)
    : QObject(parent), clock_(clock), present_(std::move(present)) {
    later_.setSingleShot(true);
    later_.setTimerType(Qt::PreciseTimer);
    connect(&later_, &QTimer::timeout, this, &RedrawPacer::PresentNow);
}

void RedrawPacer::Request() {
    const double now = clock_.MonotonicSeconds();
    if (RefreshDue(now, lastPresent_, kFramesPerSecond)) {
        PresentNow();
        return;
    }
    if (later_.isActive()) return;
    // While frames stream the next pass comes within a rest and presents
    // instead, so the timer wakes the console only when the line went quiet.
    const double wait = lastPresent_ + 1.0 / kFramesPerSecond - now;
    later_.start(static_cast<int>(std::ceil(wait * 1000)) + PollPlan::kRestMs);
}

void RedrawPacer::PresentNow() {
    later_.stop();
    lastPresent_ = clock_.MonotonicSeconds();
    present_();
}

}  // namespace quillane
