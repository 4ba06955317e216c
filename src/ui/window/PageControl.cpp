#include "ui/window/PageControl.h"

#include <QKeyEvent>

#include "ui/window/PageTabBar.h"

namespace quillane {

PageControl::PageControl(QWidget* parent) : QTabWidget(parent) {
    setTabBar(new PageTabBar(this));
    connect(this, &QTabWidget::currentChanged, this, &PageControl::CurrentChanged);
}

void PageControl::SetActivePage(QWidget* page) {
    ++windowChanging_;
    setCurrentWidget(page);
    --windowChanging_;
}

void PageControl::SetTabShown(QWidget* page, bool shown) {
    // Hiding the tab in view lets the tab row choose its neighbour: that
    // change is the window's own.
    ++windowChanging_;
    setTabVisible(indexOf(page), shown);
    --windowChanging_;
}

void PageControl::keyPressEvent(QKeyEvent* event) {
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    const bool back = event->key() == Qt::Key_Backtab || event->key() == Qt::Key_PageUp ||
                      event->modifiers().testFlag(Qt::ShiftModifier);
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (control) {
                StepToVisibleTab(back ? -1 : 1);
                event->accept();
                return;
            }
            break;
        default:
            break;
    }
    QTabWidget::keyPressEvent(event);
}

// The next tab the user can see, round the row as Ctrl+Tab has always gone.
void PageControl::StepToVisibleTab(int step) {
    const int n = count();
    for (int i = 1; i < n; ++i) {
        const int index = ((currentIndex() + step * i) % n + n) % n;
        if (isTabVisible(index) && isTabEnabled(index)) {
            setCurrentIndex(index);
            return;
        }
    }
}

void PageControl::CurrentChanged(int index) {
    QWidget* now = widget(index);
    if (now == shownPage_) return;
    if (windowChanging_ == 0 && shownPage_ != nullptr && !isTabVisible(index)) {
        SetActivePage(shownPage_);
        return;
    }
    QWidget* left = shownPage_;
    shownPage_ = now;
    emit PageChanged(left, now);
}

}  // namespace quillane
