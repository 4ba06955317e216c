#pragma once

#include <QLabel>

namespace quillane {

// A label that keeps its place and size and still shows its text whole: where
// the face at hand is wider than the one the pages were laid out in, the text
// is drawn in a smaller size of it (as the grids do) rather than cut off or
// run into the control beside it. A value label names the widest text it will
// hold, so that its size stays put while the value changes.
class FittedLabel : public QLabel {
    Q_OBJECT

public:
    explicit FittedLabel(const QString& text, QWidget* parent = nullptr);

    void SetWidestText(const QString& widest);
    // Covers what lies behind its letters (a group's frame line) with the
    // page's colour, and nothing around them, such as a group's title.
    void SetLetterBackground(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString widest_;
    bool letterBackground_ = false;
};

}  // namespace quillane
