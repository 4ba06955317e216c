#pragma once

#include <optional>
#include <string>

namespace quillane {

class NumberFormat;

// How the line is doing, for the installer who wonders why the console does
// not find a detector or keeps losing it: how many frames arrive, how many of
// them fail the checksum (noise, a wrong rate, a loose wire) and how long ago
// the last one came. The receive pass reports every frame start; the times are
// on the monotonic clock, so a clock change cannot bend the figures.
class LinkHealth {
public:
    // The rate is counted over windows of this length.
    static constexpr double kRateWindowSeconds = 1.0;
    // A display that follows the figures takes them at most this often.
    static constexpr double kUpdateSeconds = 0.25;

    struct Figures {
        double framesPerSecond = 0.0;                 // over the last full window
        long long badChecksums = 0;                   // since the port was opened
        std::optional<double> secondsSinceLastFrame;  // none before the first frame
    };

    // A new line: every count starts again.
    void Restart(double nowSeconds);
    void FrameStart(double nowSeconds, bool checksumHolds);
    Figures Now(double nowSeconds);
    // The figures when kUpdateSeconds have passed since they were last taken.
    std::optional<Figures> Due(double nowSeconds);

private:
    void Roll(double nowSeconds);

    std::optional<double> windowStart_;
    long long windowFrames_ = 0;
    double framesPerSecond_ = 0.0;
    long long badChecksums_ = 0;
    std::optional<double> lastFrame_;
    std::optional<double> lastTaken_;
};

// The tooltip of the "Mode:" row: three lines, numbers in the user's format.
std::string LinkHealthText(const LinkHealth::Figures& f, const NumberFormat& format);

}  // namespace quillane
