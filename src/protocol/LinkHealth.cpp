#include "protocol/LinkHealth.h"

#include "model/Conversions.h"
#include "model/NumberFormat.h"

namespace quillane {

void LinkHealth::Restart(double nowSeconds) {
    *this = LinkHealth();
    windowStart_ = nowSeconds;
}

void LinkHealth::FrameStart(double nowSeconds, bool checksumHolds) {
    Roll(nowSeconds);
    ++windowFrames_;
    if (!checksumHolds) ++badChecksums_;
    lastFrame_ = nowSeconds;
}

LinkHealth::Figures LinkHealth::Now(double nowSeconds) {
    Roll(nowSeconds);
    Figures f;
    f.framesPerSecond = framesPerSecond_;
    f.badChecksums = badChecksums_;
    if (lastFrame_) f.secondsSinceLastFrame = nowSeconds - *lastFrame_;
    return f;
}

std::optional<LinkHealth::Figures> LinkHealth::Due(double nowSeconds) {
    if (lastTaken_ && nowSeconds - *lastTaken_ < kUpdateSeconds) return std::nullopt;
    lastTaken_ = nowSeconds;
    return Now(nowSeconds);
}

// A window closes at the first look after it has run its length, so a silent
// line shows 0 within two windows even when no frame comes to close it.
void LinkHealth::Roll(double nowSeconds) {
    if (!windowStart_) {
        windowStart_ = nowSeconds;
        return;
    }
    const double elapsed = nowSeconds - *windowStart_;
    if (elapsed < kRateWindowSeconds) return;
    framesPerSecond_ = static_cast<double>(windowFrames_) / elapsed;
    windowFrames_ = 0;
    windowStart_ = nowSeconds;
}

std::string LinkHealthText(const LinkHealth::Figures& f, const NumberFormat& format) {
    std::string since = "none yet";
    if (f.secondsSinceLastFrame) {
        const double s = *f.secondsSinceLastFrame;
        // Tenths while they tell something, whole seconds after that.
        since = WithUnit(format.Fixed(s, s < 10.0 ? 1 : 0), "s") + " ago";
    }
    return "Frames per second: " + format.Fixed(f.framesPerSecond, 0) +
           "\nFrames with a bad checksum: " + std::to_string(f.badChecksums) +
           "\nLast frame: " + since;
}

}  // namespace quillane
