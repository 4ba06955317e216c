#pragma once

#include <optional>

namespace quillane {

// The walk test's signal as the site record keeps it: the lowest and the
// highest deviation from the average (percent) over each half second. Hours
// of signal thus stay small in the record, and a crossing that lasted one
// signal word still shows in the plot.
class SignalSampler {
public:
    static constexpr double kPeriodSeconds = 0.5;

    struct Sample {
        double startDays = 0;  // local time at the first word of the period
        double seconds = 0;    // from its first word to its last
        double low = 0, high = 0;
    };

    // A signal word's deviation, at monotonic and local time. Returns the
    // finished period when this word is the first after it.
    std::optional<Sample> Take(double nowSeconds, double nowDays, double deviation);
    // The period begun so far, if any, and a fresh start (the walk test paused
    // or ended).
    std::optional<Sample> Flush();

private:
    bool open_ = false;
    double startSeconds_ = 0;
    Sample sample_;
};

}  // namespace quillane
