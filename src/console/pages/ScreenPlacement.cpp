#include "console/pages/ScreenPlacement.h"

#include <algorithm>

namespace quillane {
namespace {

int Centred(int start, int room, int size) { return start + std::max(0, (room - size) / 2); }

}  // namespace

ScreenPoint PlaceOnScreen(const ScreenArea& available, int width, int height) {
    return {Centred(available.left, available.width, width),
            Centred(available.top, available.height, height)};
}

}  // namespace quillane
