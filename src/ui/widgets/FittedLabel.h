#pragma once

#include <QLabel>

#include "ui/widgets/FittedLine.h"

namespace quillane {

// A caption that keeps its place and size and still shows its text whole:
// where the face at hand is wider than the one the pages were laid out in,
// the text is drawn in a smaller size of it (FittedLine) rather than cut off
// or run into the control beside it.
class FittedLabel : public QLabel {
    Q_OBJECT

public:
    explicit FittedLabel(const QString& text, QWidget* parent = nullptr);

    // The widest text it will hold, so that its size stays put while the
    // text changes.
    void SetWidestText(const QString& widest);
    // Covers what lies behind its letters (a group's frame line) with the
    // page's colour, and nothing around them, such as a group's title.
    void SetLetterBackground(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FittedLine line_;
    bool letterBackground_ = false;
};

}  // namespace quillane
