#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Calibration page: the installer aims the detector against the live signal.
class CalibrationPage : public ConsolePage {
    Q_OBJECT

public:
    explicit CalibrationPage(QWidget* parent = nullptr);

    // Redraw from the stored signal word; the status handlers call it within
    // the redraw limit while the detector reports calibration.
    void RefreshTuneUpChart();
};

}  // namespace quillane
