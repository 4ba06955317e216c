#include "ui/window/ReportNotice.h"

#include <QDir>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QTimer>

#include "console/pages/Colour.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {

namespace {
constexpr int kMargin = 6;
}  // namespace

ReportNotice::ReportNotice(QWidget* window) : QLabel(window), hide_(new QTimer(this)) {
    setObjectName(QStringLiteral("lReportNotice"));
    setTextFormat(Qt::PlainText);
    setMargin(kMargin);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    // Dark on pale yellow whatever the system's colours: a notice over a
    // page, not a part of it.
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(colour::kMarkBackground));
    p.setColor(QPalette::WindowText, ToQColor(colour::kBlack));
    setPalette(p);
    hide_->setSingleShot(true);
    hide_->setInterval(kShownMs);
    connect(hide_, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void ReportNotice::mousePressEvent(QMouseEvent* event) {
    hide();
    event->accept();
}

void ReportNotice::Show(const QString& path, const QRect& area) {
    const int room = area.width() - 2 * (kMargin + frameWidth()) - 2 * kMargin;
    // The folder gives up its middle first; the file's name stays whole.
    const QString native = QDir::toNativeSeparators(path);
    const QString name = native.mid(native.lastIndexOf(QDir::separator()) + 1);
    const QString folder = native.chopped(name.size());
    const QFontMetrics m = fontMetrics();
    const QString shown =
        m.horizontalAdvance(name) < room
            ? m.elidedText(folder, Qt::ElideMiddle, room - m.horizontalAdvance(name)) + name
            : m.elidedText(native, Qt::ElideMiddle, room);
    setText(QStringLiteral("Commissioning report written:\n%1").arg(shown));
    const QSize size = sizeHint().boundedTo(QSize(area.width() - 2 * kMargin, area.height()));
    setGeometry(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
    raise();
    show();
    hide_->start();
}

}  // namespace quillane
