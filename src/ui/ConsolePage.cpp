#include "ui/ConsolePage.h"

namespace quillane {

ConsolePage::ConsolePage(const char* tabSheetName, QWidget* parent) : QWidget(parent) {
    setObjectName(QString::fromLatin1(tabSheetName));
}

}  // namespace quillane
