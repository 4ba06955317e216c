#pragma once

#include <QFont>

namespace quillane {

// The small sans font of the two secondary windows (8 pt). The windows were
// laid out in a Windows font; elsewhere the nearest sans font stands in.
QFont DialogFont();

}  // namespace quillane
