#include "ui/SettingsPage.h"

namespace quillane {

SettingsPage::SettingsPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsRange", Page::Settings, context, parent) {}

}  // namespace quillane
