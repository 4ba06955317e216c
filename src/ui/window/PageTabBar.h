#pragma once

#include <QTabBar>

class QWheelEvent;

namespace quillane {

// The tab row of pcMain. The wheel steps to the next tab the user can see, not
// to the next one in the row, which may be hidden.
class PageTabBar : public QTabBar {
    Q_OBJECT

public:
    explicit PageTabBar(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace quillane
