#include "ui/window/DialogFont.h"

#include <QStringList>

namespace quillane {

QFont DialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Nimbus Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    return font;
}

}  // namespace quillane
