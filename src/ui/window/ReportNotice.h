#pragma once

#include <QLabel>

class QTimer;

namespace quillane {

// Where the commissioning report went: for a few seconds over the note
// area, inside the window, without a box to close (a click puts it away
// sooner). A path too long for the window loses its middle, so that its
// drive and the file's name stay.
class ReportNotice : public QLabel {
    Q_OBJECT

public:
    static constexpr int kShownMs = 8000;

    explicit ReportNotice(QWidget* window);

    // Shows the notice for `path` in the middle of `area` (in the window),
    // no wider than it; a second report's notice replaces the first.
    void Show(const QString& path, const QRect& area);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QTimer* hide_;
};

}  // namespace quillane
