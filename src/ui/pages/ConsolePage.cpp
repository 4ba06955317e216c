#include "ui/pages/ConsolePage.h"

#include "console/ConsoleCore.h"
#include "console/pages/RedrawLimit.h"
#include "os/Clock.h"
#include "ui/pages/PageContext.h"

namespace quillane {

ConsolePage::ConsolePage(const char* tabSheetName, Page kind, PageContext& context, QWidget* parent)
    : QWidget(parent), context_(context), kind_(kind) {
    setObjectName(QString::fromLatin1(tabSheetName));
    // A page paints its own background: one colour under every control, and
    // a label that changes repaints without the tab frame behind the page.
    setAutoFillBackground(true);
}

void ConsolePage::RequestFrame() {
    if (context_.frameLimit.Allow(context_.clock.MonotonicSeconds(), RedrawLimit::kFramesPerSecond))
        PresentFrame();
}

void ConsolePage::NoteDrawn() {
    ConsoleCore& core = context_.core;
    drawnFrom_ = DrawnFromOf(kind_, core.Model(), core.eDeviceState() >= EDevWork);
}

void ConsolePage::PresentFrameNow() {
    context_.frameLimit.Pass(context_.clock.MonotonicSeconds());
    PresentFrame();
}

}  // namespace quillane
