#pragma once

#include <optional>
#include <vector>

namespace quillane {

// Where a bar chart's bars, ticks and texts fall, in whole pixels of the
// chart. Everything is worked out in floating point and cut to the plot before
// it becomes an int, so whatever value a page sets (a threshold of 1e308 % from
// a hand-edited table, a level that is not a number) lands inside the plot or
// is not drawn at all.
//
// The bottom axis runs from 0 on the plot's first column to `maximum` on its
// last; the hidden left axis from leftMin on the plot's bottom row to leftMax
// on its top row. An axis whose maximum is not a positive number shows no bar
// and no tick.
class BarGeometry {
public:
    // Columns left .. left + width - 1 and rows top .. top + height - 1. A
    // chart's plot lies within a widget's reach: under 2^24 pixels each way.
    struct Pixels {
        int left = 0, top = 0, width = 0, height = 0;
        bool operator==(const Pixels& o) const {
            return left == o.left && top == o.top && width == o.width && height == o.height;
        }
    };

    BarGeometry(const Pixels& plot, double maximum, double leftMin, double leftMax);

    // A bar from 0 to x, bandPercent of the middle 60 % of the plot's height.
    // Past the axis's end it stops at the plot's edge; a negative x (-1 hides
    // a point), NaN or an infinity draws nothing.
    std::optional<Pixels> HorizontalBar(double x, double bandPercent) const;
    // A bar centred on x, widthPercent of the plot wide (at least a pixel),
    // rising from the bottom to y. Nothing unless x lies on the axis and y
    // above leftMin.
    std::optional<Pixels> VerticalBar(double x, double y, double widthPercent) const;
    // The column of x, held to the axis's ends; nothing for NaN or when the
    // axis shows nothing.
    std::optional<int> Column(double x) const;
    // The labelled ticks, every step from 0 up to the maximum, and the minor
    // ones, perStep between two labelled ones. None when there would be more
    // labelled ticks than the plot has columns.
    struct Tick {
        double value = 0;
        int column = 0;
    };
    std::vector<Tick> MajorTicks(double step) const;
    std::vector<int> MinorTicks(double step, int perStep) const;

    // Where a text `width` pixels wide and centred on `centre` starts so that
    // it stays whole within 0 .. extent - 1 (at 0 when it is wider than that).
    static int TextLeft(int centre, int width, int extent);

private:
    bool Shows() const;
    // Where x lies along the axis, 0 at its start and 1 at its end.
    double Fraction(double x) const;
    double ColumnOf(double fraction) const;
    int MajorCount(double step) const;

    Pixels plot_;
    double maximum_;
    double leftMin_;
    double leftMax_;
};

}  // namespace quillane
