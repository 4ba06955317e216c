#pragma once

#include <cstddef>
#include <string>
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

// The plot below `topMm` on a page `widthMm` wide, `heightMm` high (at most
// kPlotHeightMm, at least kPlotMinHeightMm: it takes what a page leaves,
// rather than a page of its own): room for the deviation labels at its left
// and the thresholds' names at its right.
constexpr double kPlotHeightMm = 90;
constexpr double kPlotMinHeightMm = 60;
PlotFrame PlaceReportPlot(double topMm, double widthMm, const PlotAxis& time,
                          const PlotAxis& deviation, double heightMm = kPlotHeightMm);

// The values an axis is labelled at, from low to high.
std::vector<double> AxisTicks(const PlotAxis& axis);

// The runs of points drawn as one band, as [begin, end) indices: a pause of
// more than kSignalGapSeconds from the last word of one point to the first
// of the next, or a link outage (seconds since the walk test's start)
// between them, is an outage the plot does not bridge.
using Outages = std::vector<std::pair<double, double>>;
std::vector<std::pair<std::size_t, std::size_t>> SignalBands(
    const std::vector<WalkTestRecord::Point>& points, const Outages& outages = {});

// A point on the page, in millimetres.
struct MmPoint {
    double x = 0, y = 0;
    bool operator==(const MmPoint& o) const { return x == o.x && y == o.y; }
};
// Each band as one closed outline in the frame: along the highs, back along
// the lows. A band is at least kBandMinMm thick wherever it is drawn, so that
// a flat stretch (low = high) still shows as a band, not as a hollow outline;
// values beyond the axis are held at the frame's edge.
constexpr double kBandMinMm = 0.6;
std::vector<std::vector<MmPoint>> SignalBandOutlines(
    const PlotFrame& f, const std::vector<WalkTestRecord::Point>& points, const Outages& outages);
// The outages within the frame, as x from and to.
std::vector<std::pair<double, double>> OutageSpans(const PlotFrame& f, const Outages& outages);

// ---- pages ----
// A block of the report, top to bottom: a heading keeps with the block after
// it, the rows of a list go one by one; a block that may be lower (the plot)
// says how low.
struct ReportBlock {
    double height = 0;
    bool keepWithNext = false;
    double minHeight = 0;  // 0: as high as it is
};
struct PlacedBlock {
    int page = 0;
    double top = 0, height = 0;
};
// Blocks flow down the page from `firstTop` and onto a new one (from
// `pageTop`) where the next would reach below `pageBottom`, unless it may be
// lower and the room left is enough for that; a block taller than a page
// starts one of its own.
std::vector<PlacedBlock> PlaceBlocks(const std::vector<ReportBlock>& blocks, double firstTop,
                                     double pageTop, double pageBottom);
// "Page 2 of 3"; nothing on a report of one page.
std::string PageNumberText(int page, int pages);

// Where each alarm of the walk test is marked along the plot, in its order;
// one the record dates outside the walk test (the clock set back during it)
// is held at the frame's edge, as the signal is.
std::vector<double> AlarmMarkXs(const PlotFrame& f, const WalkTestRecord& walk);

// The level of each alarm's number above the plot, for marks `markWidth`
// wide centred at `xs`: numbers close together take turns on two levels
// (0, then 1); one that finds both taken is left to its line, -1.
std::vector<int> AlarmMarkLevels(const std::vector<double>& xs, double markWidth);

// The thresholds' names at the right of the plot, where their lines end:
// each at its line, held within the frame, and one that would come closer
// than `gap` to a name before goes below it; names that would then go below
// the frame go up from its foot instead.
std::vector<double> ThresholdNameYs(const std::vector<double>& ys, double top, double bottom,
                                    double gap);

}  // namespace quillane
