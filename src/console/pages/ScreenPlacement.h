#pragma once

namespace quillane {

// An area of the screen in pixels.
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

// Where a window of fixed size goes: centred on the screen's free area, and
// where it is larger than that area, against its top or left edge, so that
// the caption and the left column stay on the screen (at 200 % a 786 x 446
// window is wider than a 1280-pixel screen).
struct ScreenPoint {
    int x = 0, y = 0;
    bool operator==(const ScreenPoint& o) const { return x == o.x && y == o.y; }
};
ScreenPoint PlaceOnScreen(const ScreenArea& available, int width, int height);

}  // namespace quillane
