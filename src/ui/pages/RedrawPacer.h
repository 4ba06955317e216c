#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

namespace quillane {

class Clock;

// Hands the screen at most one redraw a display frame. Signal-driven redraws
// may come 200 times a second, more than a screen shows: the values are
// computed at every one, and what reaches the widgets is the latest of them,
// at the first chance a frame later.
class RedrawPacer : public QObject {
    Q_OBJECT

public:
    // Frames a second the widgets are written at, at most.
    static constexpr int kFramesPerSecond = 60;

    RedrawPacer(const Clock& clock, std::function<void()> present, QObject* parent);

    // Presents now when a frame has passed since the last presentation,
    // otherwise once, when it has.
    void Request();
    // Presents now, whatever the time (the user's own actions).
    void PresentNow();

private:
    const Clock& clock_;
    std::function<void()> present_;
    QTimer later_;
    double lastPresent_ = -1e9;
};

}  // namespace quillane
