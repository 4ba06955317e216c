#include "ui/window/PageTabBar.h"

#include <QWheelEvent>

namespace quillane {

PageTabBar::PageTabBar(QWidget* parent) : QTabBar(parent) {}

void PageTabBar::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const int amount = delta.y() != 0 ? delta.y() : delta.x();
    event->accept();
    if (amount == 0) return;
    const int step = amount > 0 ? -1 : 1;
    for (int i = currentIndex() + step; i >= 0 && i < count(); i += step) {
        if (isTabVisible(i) && isTabEnabled(i)) {
            setCurrentIndex(i);
            return;
        }
    }
}

}  // namespace quillane
