#include "console/record/ReportLayout.h"

#include <algorithm>
#include <cmath>

namespace quillane {

namespace {

// The deviation labels' room at the left, the thresholds' names' at the right.
constexpr double kLeftMm = 13, kRightMm = 9;
// Below the plot: the time labels, the axis title, the key and the footer.
constexpr double kBelowMm = 30;

double Span(const PlotAxis& a) {
    const double span = a.high - a.low;
    return span > 0 ? span : 1;
}

}  // namespace

double PlotFrame::X(double seconds) const {
    return left + (seconds - time.low) / Span(time) * width;
}

double PlotFrame::Y(double percent) const {
    return top + (deviation.high - percent) / Span(deviation) * height;
}

PlotFrame PlaceReportPlot(double topMm, double widthMm, double pageHeightMm, const PlotAxis& time,
                          const PlotAxis& deviation) {
    const double height =
        std::clamp(pageHeightMm - topMm - kBelowMm, kPlotMinHeightMm, kPlotMaxHeightMm);
    return PlotFrame{kLeftMm, topMm, widthMm - kLeftMm - kRightMm, height, time, deviation};
}

std::vector<double> AxisTicks(const PlotAxis& axis) {
    std::vector<double> ticks;
    if (!(axis.step > 0)) return ticks;
    for (double v = axis.low; v <= axis.high + axis.step / 2; v += axis.step) ticks.push_back(v);
    return ticks;
}

std::vector<std::pair<std::size_t, std::size_t>> SignalBands(
    const std::vector<WalkTestRecord::Point>& s) {
    std::vector<std::pair<std::size_t, std::size_t>> bands;
    std::size_t begin = 0;
    while (begin < s.size()) {
        std::size_t end = begin + 1;
        while (end < s.size() &&
               s[end].seconds - (s[end - 1].seconds + s[end - 1].width) <= kGapSeconds)
            ++end;
        bands.emplace_back(begin, end);
        begin = end;
    }
    return bands;
}

std::vector<int> AlarmMarkLevels(const std::vector<double>& xs, double markWidth) {
    std::vector<int> levels;
    double levelEnd[2] = {-1e9, -1e9};
    for (const double x : xs) {
        const int level = x - markWidth / 2 >= levelEnd[0]   ? 0
                          : x - markWidth / 2 >= levelEnd[1] ? 1
                                                             : -1;
        if (level >= 0) levelEnd[level] = x + markWidth / 2;
        levels.push_back(level);
    }
    return levels;
}

std::vector<double> ThresholdNameYs(const std::vector<double>& ys, double top, double bottom,
                                    double gap) {
    std::vector<double> placed;
    double previous = -1e9;
    for (const double wanted : ys) {
        double y = std::clamp(wanted, top, bottom);
        if (std::abs(y - previous) < gap) y = previous + gap;
        placed.push_back(y);
        previous = y;
    }
    return placed;
}

}  // namespace quillane
