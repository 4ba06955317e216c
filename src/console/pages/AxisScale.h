#pragma once

namespace quillane {

// A chart's bottom axis: from 0 to `maximum`, labelled every `tickStep`.
struct AxisScale {
    double maximum = 0;
    double tickStep = 0;
    bool operator==(const AxisScale& o) const {
        return maximum == o.maximum && tickStep == o.tickStep;
    }
};

// The 1-5-10 rule: the first of 0.005, 0.01, 0.05, 0.1, 0.5, 1, 5, ... mV that
// exceeds v (at the resolution of a microvolt), 0.001 below that, and never
// above 10000; ticks at a fifth of the maximum.
AxisScale ScaleAxisToValue(double v);

}  // namespace quillane
