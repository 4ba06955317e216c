#include "ui/SetupPage.h"

namespace quillane {

SetupPage::SetupPage(PageContext& context, QWidget* parent)
    : ConsolePage("tsSense", Page::Setup, context, parent) {}

}  // namespace quillane
