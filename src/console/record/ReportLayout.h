#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "console/record/CommissioningReport.h"

namespace quillane {

// Where the commissioning report's plot puts things, in millimetres on the
// page; the PDF only draws there.

// The plot's frame and the mapping of seconds and percent into it.
struct PlotFrame {
    double left = 0, top = 0, width = 0, height = 0;
    PlotAxis time, deviation;

    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
    double X(double seconds) const;
    double Y(double percent) const;
};

// The plot below `topMm` on a page `widthMm` wide: room for the deviation
// labels at its left and the thresholds' names at its right, and as high as
// the page leaves above the time labels, the key and the footer, within
// kPlotMinHeightMm and kPlotMaxHeightMm.
constexpr double kPlotMinHeightMm = 60;
constexpr double kPlotMaxHeightMm = 120;
PlotFrame PlaceReportPlot(double topMm, double widthMm, double pageHeightMm, const PlotAxis& time,
                          const PlotAxis& deviation);

// The values an axis is labelled at, from low to high.
std::vector<double> AxisTicks(const PlotAxis& axis);

// The runs of points drawn as one band, as [begin, end) indices: points
// further apart than kGapSeconds are a pause in the walk test (the page was
// left for a while), which the plot does not bridge.
constexpr double kGapSeconds = 2;
std::vector<std::pair<std::size_t, std::size_t>> SignalBands(
    const std::vector<WalkTestRecord::Point>& points);

// The level of each alarm's number above the plot, for marks `markWidth`
// wide centred at `xs`: numbers close together take turns on two levels
// (0, then 1); one that finds both taken is left to its line, -1.
std::vector<int> AlarmMarkLevels(const std::vector<double>& xs, double markWidth);

// The thresholds' names at the right of the plot, where their lines end:
// each at its line, held within the frame, and one that would come closer
// than `gap` to the name before goes below it.
std::vector<double> ThresholdNameYs(const std::vector<double>& ys, double top, double bottom,
                                    double gap);

}  // namespace quillane
