#include "console/record/ReportLayout.h"

#include <algorithm>
#include <cmath>

namespace quillane {

namespace {

// The deviation labels' room at the left, the thresholds' names' at the right.
constexpr double kLeftMm = 13, kRightMm = 9;

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

PlotFrame PlaceReportPlot(double topMm, double widthMm, const PlotAxis& time,
                          const PlotAxis& deviation, double heightMm) {
    return PlotFrame{kLeftMm,
                     topMm,
                     widthMm - kLeftMm - kRightMm,
                     std::clamp(heightMm, kPlotMinHeightMm, kPlotHeightMm),
                     time,
                     deviation};
}

std::vector<double> AxisTicks(const PlotAxis& axis) {
    std::vector<double> ticks;
    if (!(axis.step > 0)) return ticks;
    for (double v = axis.low; v <= axis.high + axis.step / 2; v += axis.step) ticks.push_back(v);
    return ticks;
}

std::vector<std::pair<std::size_t, std::size_t>> SignalBands(
    const std::vector<WalkTestRecord::Point>& s, const Outages& outages) {
    const auto apart = [&s, &outages](std::size_t i) {
        const double end = s[i - 1].seconds + s[i - 1].width, next = s[i].seconds;
        if (next - end > kSignalGapSeconds) return true;
        return std::any_of(outages.begin(), outages.end(),
                           [end, next](const auto& o) { return o.first < next && o.second > end; });
    };
    std::vector<std::pair<std::size_t, std::size_t>> bands;
    std::size_t begin = 0;
    while (begin < s.size()) {
        std::size_t end = begin + 1;
        while (end < s.size() && !apart(end)) ++end;
        bands.emplace_back(begin, end);
        begin = end;
    }
    return bands;
}

std::vector<std::vector<MmPoint>> SignalBandOutlines(const PlotFrame& f,
                                                     const std::vector<WalkTestRecord::Point>& s,
                                                     const Outages& outages) {
    const auto x = [&f](double seconds) { return std::clamp(f.X(seconds), f.left, f.Right()); };
    const auto y = [&f](double percent) {
        return std::clamp(std::isfinite(percent) ? f.Y(percent) : f.Bottom(), f.top, f.Bottom());
    };
    std::vector<std::vector<MmPoint>> outlines;
    for (const auto& [begin, end] : SignalBands(s, outages)) {
        std::vector<MmPoint> top, bottom;
        for (std::size_t i = begin; i < end; ++i) {
            double high = y(s[i].high), low = y(s[i].low);
            if (low - high < kBandMinMm) {
                const double middle = std::clamp((high + low) / 2, f.top + kBandMinMm / 2,
                                                 f.Bottom() - kBandMinMm / 2);
                high = middle - kBandMinMm / 2;
                low = middle + kBandMinMm / 2;
            }
            const double x0 = x(s[i].seconds), x1 = x(s[i].seconds + s[i].width);
            top.push_back({x0, high});
            top.push_back({x1, high});
            bottom.push_back({x0, low});
            bottom.push_back({x1, low});
        }
        // A single instant still has a width to fill: to its right, or to
        // its left at the frame's right edge.
        if (top.front().x == top.back().x) {
            if (top.back().x + kBandMinMm <= f.Right()) {
                top.back().x += kBandMinMm;
                bottom.back().x += kBandMinMm;
            } else {
                top.front().x -= kBandMinMm;
                bottom.front().x -= kBandMinMm;
            }
        }
        std::vector<MmPoint> outline(top);
        outline.insert(outline.end(), bottom.rbegin(), bottom.rend());
        outlines.push_back(std::move(outline));
    }
    return outlines;
}

std::vector<std::pair<double, double>> OutageSpans(const PlotFrame& f, const Outages& outages) {
    std::vector<std::pair<double, double>> spans;
    for (const auto& [from, to] : outages) {
        const double x0 = std::clamp(f.X(from), f.left, f.Right());
        const double x1 = std::clamp(f.X(to), f.left, f.Right());
        if (x1 > x0) spans.emplace_back(x0, x1);
    }
    return spans;
}

std::vector<double> AlarmMarkXs(const PlotFrame& f, const WalkTestRecord& walk) {
    std::vector<double> xs;
    for (const double days : walk.alarmDays)
        xs.push_back(std::clamp(f.X((days - walk.startDays) * 86400.0), f.left, f.Right()));
    return xs;
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
    for (const double wanted : ys) {
        // A line at no number is drawn at the foot, as the band is.
        double y = std::isnan(wanted) ? bottom : std::clamp(wanted, top, bottom);
        // Below every name it would come too close to, not only the last.
        for (bool moved = true; moved;) {
            moved = false;
            for (const double other : placed)
                // (Not by their difference: other + gap - other may round below gap.)
                if (y > other - gap && y < other + gap) {
                    y = other + gap;
                    moved = true;
                }
        }
        placed.push_back(y);
    }
    // Names pushed below the frame (lines at its foot) go up, from the
    // lowest, each a gap above the one below it.
    std::vector<std::size_t> order(placed.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&placed](std::size_t a, std::size_t b) { return placed[a] > placed[b]; });
    double limit = bottom;
    for (const std::size_t i : order) {
        placed[i] = std::min(placed[i], limit);
        limit = placed[i] - gap;
    }
    return placed;
}

std::vector<PlacedBlock> PlaceBlocks(const std::vector<ReportBlock>& blocks, double firstTop,
                                     double pageTop, double pageBottom) {
    const auto least = [](const ReportBlock& b) {
        return b.minHeight > 0 ? b.minHeight : b.height;
    };
    std::vector<PlacedBlock> placed;
    int page = 0;
    double y = firstTop;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        // A heading goes with what follows it, and a run of headings with theirs.
        double headings = 0;
        std::size_t j = i;
        for (; j < blocks.size() && blocks[j].keepWithNext; ++j) headings += blocks[j].height;
        const double whole = headings + (j < blocks.size() ? blocks[j].height : 0);
        const double atLeast = headings + (j < blocks.size() ? least(blocks[j]) : 0);
        const bool atTop = y <= (page == 0 ? firstTop : pageTop);
        double height = blocks[i].height;
        if (y + whole > pageBottom && !atTop) {
            if (y + atLeast > pageBottom) {
                ++page;
                y = pageTop;
            } else if (j == i) {
                height = pageBottom - y;  // lower, to stay on this page
            }
        }
        placed.push_back({page, y, height});
        y += height;
    }
    return placed;
}

std::string PageNumberText(int page, int pages) {
    if (pages <= 1) return std::string();
    return "Page " + std::to_string(page + 1) + " of " + std::to_string(pages);
}

}  // namespace quillane
