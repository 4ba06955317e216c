#include "console/pages/SidePlacement.h"

#include <algorithm>

namespace quillane {
namespace {

int Clamp(int at, int size, int from, int room) {
    return std::max(from, std::min(at, from + room - size));
}

}  // namespace

ScreenPoint PlaceBeside(const ScreenArea& available, const ScreenArea& window, int width,
                        int height) {
    const int right = available.left + available.width;
    const int bottom = available.top + available.height;
    const int windowRight = window.left + window.width;
    const int windowBottom = window.top + window.height;
    // Beside: level with the window's top; above or below: with its left edge.
    const int besideTop = Clamp(window.top, height, available.top, available.height);
    const int underLeft = Clamp(window.left, width, available.left, available.width);
    if (right - windowRight >= width) return {windowRight, besideTop};
    if (window.left - available.left >= width) return {window.left - width, besideTop};
    if (bottom - windowBottom >= height) return {underLeft, windowBottom};
    if (window.top - available.top >= height) return {underLeft, window.top - height};
    return {underLeft, Clamp(windowBottom, height, available.top, available.height)};
}

}  // namespace quillane
