#include "ui/PropertiesPage.h"

namespace quillane {

PropertiesPage::PropertiesPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsParams", Page::Properties, context, parent) {}

}  // namespace quillane
