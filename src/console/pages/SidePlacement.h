#pragma once

#include "console/pages/ScreenPlacement.h"

namespace quillane {

// Where a small window that accompanies the main window goes (the phone
// view's dialog): beside it, not over it, so that every page stays in
// sight. To its right, else its left, else below, else above, each only
// where the whole small window fits on the screen's free area. Where none
// does, below and kept on the screen: it then covers the note and the logo
// at the window's foot, which the pages do not need, before anything else.
// All areas are outer (frame) geometry.
ScreenPoint PlaceBeside(const ScreenArea& available, const ScreenArea& window, int width,
                        int height);

}  // namespace quillane
