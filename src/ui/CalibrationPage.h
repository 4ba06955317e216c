#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Calibration page: the installer aims the detector against the live signal.
class CalibrationPage : public ConsolePage {
    Q_OBJECT

public:
    explicit CalibrationPage(PageContext& context, QWidget* parent = nullptr);
};

}  // namespace quillane
