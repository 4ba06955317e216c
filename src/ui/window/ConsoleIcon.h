#pragma once

#include <QIcon>

namespace quillane {

// The console's own icon, in every size it is drawn in (a Qt resource).
QIcon ConsoleIcon();

}  // namespace quillane
