#pragma once

#include <QColor>
#include <QPalette>

#include "console/pages/Colour.h"

namespace quillane {

// A colour of the console's table (console/Colour.h) as Qt draws it; a role
// takes its colour from the palette, the application's unless one is given.
QColor ToQColor(const Colour& c, const QPalette& palette = QPalette());

}  // namespace quillane
