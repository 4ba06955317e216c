#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Settings page: separate thresholds, zone length and device parameters.
class SettingsPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SettingsPage(PageContext& context, QWidget* parent = nullptr);
};

}  // namespace quillane
