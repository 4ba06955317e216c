#include "ui/SetupPage.h"

namespace quillane {

SetupPage::SetupPage(QWidget* parent) : ConsolePage("tsSense", parent) {}

void SetupPage::RefreshSenseChart() {}

}  // namespace quillane
