#pragma once

namespace quillane {

// Spaces frames evenly at a rate: frame k is due at k / rate seconds. A loop
// that wakes late sends what fell due, but never more than a few milliseconds'
// worth at once; the rest is skipped, so the line never carries more than the
// rate, even after the machine stalled.
class StreamPacer {
public:
    explicit StreamPacer(int framesPerSecond);
    // Frames to send now, at t seconds since start.
    int Due(double t);
    // When the next frame falls due.
    double NextDue() const;
    long long Skipped() const { return skipped_; }

private:
    double rate_;
    int maxBurst_;
    long long next_ = 0;  // index of the next frame to send
    long long skipped_ = 0;
};

}  // namespace quillane
