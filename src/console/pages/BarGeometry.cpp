#include "console/pages/BarGeometry.h"

#include <algorithm>
#include <cmath>

namespace quillane {
namespace {

// The signal bar's band: 60 % of the plot's height at 100 %.
constexpr double kBandShare = 0.6;
// Tick counts are cut off before they reach an int's range.
constexpr double kMostTicks = 1 << 24;

// A value already held within the plot, as a whole pixel.
int Whole(double v) { return static_cast<int>(std::lround(v)); }

double Percent(double p) { return std::isnan(p) ? 0.0 : std::clamp(p, 0.0, 100.0) / 100.0; }

}  // namespace

BarGeometry::BarGeometry(const Pixels& plot, double maximum, double leftMin, double leftMax)
    : plot_(plot), maximum_(maximum), leftMin_(leftMin), leftMax_(leftMax) {}

bool BarGeometry::Shows() const {
    return plot_.width > 0 && plot_.height > 0 && maximum_ > 0 && std::isfinite(maximum_);
}

// x / maximum overflows to infinity for a huge x and a tiny maximum; the
// clamp holds that to the axis's end as well.
double BarGeometry::Fraction(double x) const { return std::clamp(x / maximum_, 0.0, 1.0); }

double BarGeometry::ColumnOf(double fraction) const {
    return plot_.left + fraction * (plot_.width - 1);
}

std::optional<BarGeometry::Pixels> BarGeometry::HorizontalBar(double x, double bandPercent) const {
    if (!Shows() || !std::isfinite(x) || x < 0) return std::nullopt;
    const double band = plot_.height * kBandShare * Percent(bandPercent);
    const double centre = plot_.top + plot_.height / 2.0;
    const int top = Whole(centre - band / 2);
    const int bottom = std::max(top, Whole(centre + band / 2));
    const int length = Whole(Fraction(x) * (plot_.width - 1));
    return Pixels{plot_.left, top, length, bottom - top};
}

std::optional<BarGeometry::Pixels> BarGeometry::VerticalBar(double x, double y,
                                                            double widthPercent) const {
    if (!Shows() || !(x >= 0 && x <= maximum_) || !(y > leftMin_ && leftMax_ > leftMin_))
        return std::nullopt;
    // A left axis too narrow to divide by gives the full height; one that is
    // no range at all (NaN, leftMax at or below leftMin) no bar.
    const double reach = (y - leftMin_) / (leftMax_ - leftMin_);
    if (!(reach > 0)) return std::nullopt;
    const int height = Whole(std::min(reach, 1.0) * plot_.height);
    const double width = std::max(1.0, plot_.width * Percent(widthPercent));
    const double centre = ColumnOf(Fraction(x)) + 0.5;
    const int right = plot_.left + plot_.width;
    int from = Whole(centre - width / 2);
    int to = std::max(from + 1, Whole(centre + width / 2));
    from = std::max(from, plot_.left);
    to = std::min(to, right);
    return Pixels{from, plot_.top + plot_.height - height, to - from, height};
}

std::optional<int> BarGeometry::Column(double x) const {
    if (!Shows() || std::isnan(x)) return std::nullopt;
    return Whole(ColumnOf(Fraction(x)));
}

int BarGeometry::MajorCount(double step) const {
    if (!Shows() || !(step > 0) || !std::isfinite(step)) return -1;
    const double n = std::floor(maximum_ / step + 1e-6);
    return n <= plot_.width && n < kMostTicks ? static_cast<int>(n) : -1;
}

std::vector<BarGeometry::Tick> BarGeometry::MajorTicks(double step) const {
    std::vector<Tick> ticks;
    const int n = MajorCount(step);
    for (int k = 0; k <= n; ++k) {
        const double v = k * step;
        ticks.push_back(Tick{v, Whole(ColumnOf(Fraction(v)))});
    }
    return ticks;
}

std::vector<int> BarGeometry::MinorTicks(double step, int perStep) const {
    std::vector<int> columns;
    const int n = MajorCount(step);
    const int between = std::clamp(perStep, 0, 9);
    for (int k = 0; k < n; ++k)
        for (int m = 1; m <= between; ++m)
            columns.push_back(Whole(ColumnOf(Fraction((k + m / (between + 1.0)) * step))));
    return columns;
}

int BarGeometry::TextLeft(int centre, int width, int extent) {
    const long long w = std::max(width, 0);
    if (w >= extent) return 0;
    return static_cast<int>(std::clamp<long long>(centre - w / 2, 0, extent - w));
}

}  // namespace quillane
