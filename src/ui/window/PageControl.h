#pragma once

#include <QTabWidget>

class QKeyEvent;

namespace quillane {

// pcMain: the page control. Its tabs can be hidden while their pages live on.
// The window may bring any page into view (the page keys do not look at the
// tabs), but the user may not: a wheel over the tab row steps over hidden tabs,
// and any other way the tab row or the keyboard might land on a hidden tab is
// undone before a page hears of it.
class PageControl : public QTabWidget {
    Q_OBJECT

public:
    explicit PageControl(QWidget* parent = nullptr);

    // Makes the page the page in view, behind a hidden tab too.
    void SetActivePage(QWidget* page);
    void SetTabShown(QWidget* page, bool shown);

    // The page in view, as the last PageChanged told: found without asking
    // the tab widget's stack, up to 240 times a second.
    QWidget* ShownPage() const { return shownPage_; }

protected:
    // Ctrl+Tab and its kin step over hidden tabs, as the wheel does.
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // The page in view changed: `left` went out of view, `entered` came in.
    void PageChanged(QWidget* left, QWidget* entered);

private:
    void CurrentChanged(int index);
    void StepToVisibleTab(int step);

    QWidget* shownPage_ = nullptr;
    int windowChanging_ = 0;
};

}  // namespace quillane
