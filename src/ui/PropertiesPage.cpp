#include "ui/PropertiesPage.h"

namespace quillane {

PropertiesPage::PropertiesPage(QWidget* parent) : ConsolePage("tsParams", parent) {}

}  // namespace quillane
