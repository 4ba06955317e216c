#include "ui/widgets/ColourKit.h"

namespace quillane {

QColor ToQColor(const Colour& c, const QPalette& palette) {
    switch (c.role) {
        case Colour::ButtonFace:
            return palette.color(QPalette::Button);
        case Colour::WindowText:
            return palette.color(QPalette::WindowText);
        case Colour::Rgb:
            break;
    }
    return QColor(c.r, c.g, c.b);
}

}  // namespace quillane
