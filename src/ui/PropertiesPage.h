#pragma once

#include "ui/ConsolePage.h"

namespace quillane {

// The Properties page: the console's factors, filters and correspondence tables.
class PropertiesPage : public ConsolePage {
    Q_OBJECT

public:
    explicit PropertiesPage(PageContext& context, QWidget* parent = nullptr);
};

}  // namespace quillane
