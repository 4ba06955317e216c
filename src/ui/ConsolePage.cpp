#include "ui/ConsolePage.h"

namespace quillane {

ConsolePage::ConsolePage(const char* tabSheetName, Page kind, PageContext& context, QWidget* parent)
    : QWidget(parent), context_(context), kind_(kind) {
    setObjectName(QString::fromLatin1(tabSheetName));
}

}  // namespace quillane
