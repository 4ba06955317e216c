#include "ui/SettingsPage.h"

namespace quillane {

SettingsPage::SettingsPage(QWidget* parent) : ConsolePage("tsRange", parent) {}

void SettingsPage::RefreshRangeCharts() {}

void SettingsPage::EnableParamSet(bool enabled) { static_cast<void>(enabled); }

}  // namespace quillane
