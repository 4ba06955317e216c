#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Setup page: setup method, zone length and sensitivity at the basic level.
class SetupPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SetupPage(QWidget* parent = nullptr);

    // Redraw the threshold markers and the signal bar from the stored words.
    void RefreshSenseChart();
};

}  // namespace quillane
