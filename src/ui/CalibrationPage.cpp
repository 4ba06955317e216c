#include "ui/CalibrationPage.h"

namespace quillane {

CalibrationPage::CalibrationPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsTuneUp", Page::Calibration, context, parent) {}

}  // namespace quillane
