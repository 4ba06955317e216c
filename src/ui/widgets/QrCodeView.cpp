#include "ui/widgets/QrCodeView.h"

#include <QPainter>
#include <algorithm>

namespace quillane {
namespace {

constexpr int kQuietModules = 4;  // the white border a reader looks for
constexpr int kHintModulePixels = 4;

}  // namespace

QrCodeView::QrCodeView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QrCodeView::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    modules_ = text.isEmpty() ? QrModules{} : QrModulesFor(text.toStdString());
    setAccessibleName(text);
    updateGeometry();
    update();
}

QSize QrCodeView::sizeHint() const {
    // The size of a code for a view address, so the layout holds still when
    // the address changes.
    const int modules = (modules_.size > 0 ? modules_.size : 33) + 2 * kQuietModules;
    const int side = modules * kHintModulePixels;
    return {side, side};
}

void QrCodeView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (modules_.size == 0) return;
    const int total = modules_.size + 2 * kQuietModules;
    const int pixels = std::max(1, std::min(width(), height()) / total);
    const int left = (width() - total * pixels) / 2 + kQuietModules * pixels;
    const int top = (height() - total * pixels) / 2 + kQuietModules * pixels;
    for (int y = 0; y < modules_.size; ++y)
        for (int x = 0; x < modules_.size; ++x)
            if (modules_.At(x, y))
                p.fillRect(left + x * pixels, top + y * pixels, pixels, pixels, Qt::black);
}

}  // namespace quillane
