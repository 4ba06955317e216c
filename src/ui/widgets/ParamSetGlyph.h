#pragma once

#include <QIcon>

namespace quillane {

// The glyph of the Parameters group's Apply button: an arrow going into a
// detector, for settings that go to the device rather than into the console.
// Drawn at every pixel ratio the screens may ask for, so it stays sharp when
// the window is scaled.
QIcon ParamSetGlyph();

}  // namespace quillane
