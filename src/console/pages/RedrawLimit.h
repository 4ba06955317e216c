#pragma once

#include <functional>
#include <optional>

namespace quillane {

// The limit that all signal-driven redraws share: at most iSelectFilter a
// second, measured from dblLastRefresh on the monotonic clock. A redraw the
// limit refuses is not dropped: the receive pass takes only a word that
// differs, so a step that came just after a redraw and then stays would never
// ask again, and the page would go on showing a value that is no longer true.
// The refused redraw is remembered and done once, with the values of that
// moment, as soon as the limit allows (the trailing redraw).
// The pages' presentations follow a limit of the same kind, at most one a
// display frame (kFramesPerSecond).
class RedrawLimit {
public:
    static constexpr int kFramesPerSecond = 60;

    // Monotonic seconds of the last redraw let through; 0 at start.
    double dblLastRefresh = 0;

    // Whether a redraw may go now; if so, now becomes dblLastRefresh and
    // nothing waits any more. A refused one is remembered, and `refused` runs.
    bool Allow(double nowSeconds, int selectFilter);
    // A redraw let through whatever the limit (a crossing flag shows at once).
    void Pass(double nowSeconds);
    // Seconds from now until the remembered redraw may be done; nothing when
    // none waits.
    std::optional<double> TrailingIn(double nowSeconds, int selectFilter) const;
    // The trailing redraw is due: true once if one was waiting.
    bool TakeTrailing();

    // Runs whenever a redraw is refused, so that its owner can come back.
    std::function<void()> refused;

private:
    bool waiting_ = false;
};

}  // namespace quillane
