#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Settings page: separate thresholds, zone length and device parameters.
class SettingsPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SettingsPage(QWidget* parent = nullptr);

    // Redraw the range charts; this page applies its own redraw limit.
    void RefreshRangeCharts();
    // btnParamSet follows the link at the developer level.
    void EnableParamSet(bool enabled);
};

}  // namespace quillane
