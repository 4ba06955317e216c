#pragma once

#include <QPixmap>

#include "ui/pages/ConsolePage.h"

class QLabel;
class QTextEdit;

namespace quillane {

// The About page (tab sheet tsVelmo): a picture of the detector and the
// service department's contact text.
class AboutPage : public ConsolePage {
    Q_OBJECT

public:
    explicit AboutPage(PageContext& context, QWidget* parent = nullptr);

    // The detector on its post, 280 x 280, shown stretched in imgKorvelM.
    static QPixmap DetectorPicture();
    static QString ContactText();

    // tsVelmoShow: waiting for a detector, or nothing to say while linked.
    void PageShow() override;

private:
    QLabel* imgKorvelM = nullptr;
    QTextEdit* memoVelmo = nullptr;
};

}  // namespace quillane
