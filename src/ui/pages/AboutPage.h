#pragma once

#include <QPixmap>

#include "ui/pages/ConsolePage.h"

class QLabel;
class QTextEdit;

namespace quillane {

// The About page (tab sheet tsVelmo): a picture of the detector, the
// service department's contact text, and under the picture the console's
// version, for an installer asked which one runs.
class AboutPage : public ConsolePage {
    Q_OBJECT

public:
    explicit AboutPage(PageContext& context, QWidget* parent = nullptr);

    // The detector on its post, 280 x 280, shown stretched in imgKorvelM.
    static QPixmap DetectorPicture();
    static QString ContactText();
    // "Console version 0.1".
    static QString VersionText();

    // tsVelmoShow: waiting for a detector, or nothing to say while linked.
    void PageShow() override;

private:
    QLabel* imgKorvelM = nullptr;
    QTextEdit* memoVelmo = nullptr;
    QLabel* lConsoleVersion = nullptr;
};

}  // namespace quillane
