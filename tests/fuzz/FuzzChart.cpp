// A chart's geometry from any doubles a page could set (huge, tiny, negative,
// NaN, infinite) on any plot a widget could have: no undefined behaviour, and
// every bar, tick and text lands inside the plot or the chart.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzInput.h"
#include "console/pages/BarGeometry.h"

namespace {

using quillane::BarGeometry;
using quillane::fuzz::Check;
using quillane::fuzz::Input;

bool Inside(const BarGeometry::Pixels& r, const BarGeometry::Pixels& plot) {
    const auto end = [](int from, int length) { return static_cast<long long>(from) + length; };
    return r.width >= 0 && r.height >= 0 && r.left >= plot.left && r.top >= plot.top &&
           end(r.left, r.width) <= end(plot.left, plot.width) &&
           end(r.top, r.height) <= end(plot.top, plot.height);
}

bool OnPlot(int column, const BarGeometry::Pixels& plot) {
    return column >= plot.left && column < static_cast<long long>(plot.left) + plot.width;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    BarGeometry::Pixels plot;
    plot.left = in.Next<std::int16_t>();
    plot.top = in.Next<std::int16_t>();
    plot.width = in.Next<std::int16_t>();
    plot.height = in.Next<std::int16_t>();
    const double maximum = in.Next<double>();
    const double leftMin = in.Next<double>();
    const double leftMax = in.Next<double>();
    const double x = in.Next<double>();
    const double y = in.Next<double>();
    const double widthPercent = in.Next<double>();
    const double step = in.Next<double>();
    const int perStep = in.Next<std::int8_t>();
    const BarGeometry geometry(plot, maximum, leftMin, leftMax);

    if (const auto bar = geometry.HorizontalBar(x, widthPercent)) {
        Check(std::isfinite(x) && x >= 0 && Inside(*bar, plot));
    }
    if (const auto bar = geometry.VerticalBar(x, y, widthPercent)) {
        Check(x >= 0 && x <= maximum && Inside(*bar, plot) && bar->width >= 1);
    }
    if (const auto column = geometry.Column(x)) Check(OnPlot(*column, plot));
    const auto ticks = geometry.MajorTicks(step);
    Check(ticks.size() <= static_cast<size_t>(plot.width > 0 ? plot.width : 0) + 1);
    for (const auto& tick : ticks) Check(std::isfinite(tick.value) && OnPlot(tick.column, plot));
    for (int column : geometry.MinorTicks(step, perStep)) Check(OnPlot(column, plot));

    const int centre = in.Next<std::int32_t>();
    const int width = in.Next<std::int32_t>();
    const int extent = in.Next<std::int32_t>();
    const int left = BarGeometry::TextLeft(centre, width, extent);
    if (width >= 0 && width < extent) Check(left >= 0 && left <= extent - width);
    return 0;
}
