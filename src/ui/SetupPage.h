#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Setup page: setup method, zone length and sensitivity at the basic level.
class SetupPage : public ConsolePage {
    Q_OBJECT

public:
    explicit SetupPage(PageContext& context, QWidget* parent = nullptr);
};

}  // namespace quillane
