#include "ui/CalibrationPage.h"

namespace quillane {

CalibrationPage::CalibrationPage(QWidget* parent) : ConsolePage("tsTuneUp", parent) {}

void CalibrationPage::RefreshTuneUpChart() {}

}  // namespace quillane
