#pragma once

#include <QPixmap>

namespace quillane {

// The maker's logo for the main window's pVelmo panel, 191 x 89.
QPixmap MakerLogo();

}  // namespace quillane
