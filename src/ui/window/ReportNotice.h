#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QTimer;

namespace quillane {

// Where the commissioning report (or the CSV) went: for a few seconds over
// the note area, inside the window, without a box to close (a click on the
// text puts it away sooner), with the offer to open the file or its folder
// in the system's own viewer. A path too long for the window loses its
// middle, so that its drive and the file's name stay.
class ReportNotice : public QFrame {
    Q_OBJECT

public:
    static constexpr int kShownMs = 8000;

    explicit ReportNotice(QWidget* window);

    // Shows `title` and `path` (then `remark`) in the middle of `area` (in
    // the window), no wider than it; a second notice replaces the first.
    void Show(const QString& title, const QString& path, const QRect& area,
              const QString& remark = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Opens `what` with the system's viewer; a machine without one says so
    // in the notice.
    void Open(const QString& what);

    QLabel* text_;
    QPushButton* file_;
    QPushButton* folder_;
    QTimer* hide_;
    QString path_;
};

}  // namespace quillane
