#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QShowEvent;
class QTextEdit;

namespace quillane {

// The About page (tab sheet tsVelmo): a picture of the detector and the
// service department's contact text. The note the page sets when shown
// depends on the link, so the window answers the shown() signal itself.
class AboutPage : public QWidget {
    Q_OBJECT

public:
    explicit AboutPage(QWidget* parent = nullptr);

    // The detector on its post, 280 x 280, shown stretched in imgKorvelM.
    static QPixmap DetectorPicture();
    // The maker's logo for the main window's pVelmo panel, 191 x 89.
    static QPixmap MakerLogo();
    static QString ContactText();

signals:
    void shown();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* imgKorvelM = nullptr;
    QTextEdit* memoVelmo = nullptr;
};

}  // namespace quillane
