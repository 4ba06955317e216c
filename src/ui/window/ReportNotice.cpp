#include "ui/window/ReportNotice.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "console/pages/Colour.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {

namespace {
constexpr int kMargin = 6;
}  // namespace

ReportNotice::ReportNotice(QWidget* window)
    : QFrame(window),
      text_(new QLabel(this)),
      file_(new QPushButton(QStringLiteral("Open file"), this)),
      folder_(new QPushButton(QStringLiteral("Open folder"), this)),
      hide_(new QTimer(this)) {
    setObjectName(QStringLiteral("fmReportNotice"));
    text_->setObjectName(QStringLiteral("lReportNotice"));
    file_->setObjectName(QStringLiteral("btnOpenReport"));
    folder_->setObjectName(QStringLiteral("btnOpenFolder"));
    text_->setTextFormat(Qt::PlainText);
    text_->installEventFilter(this);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setAutoFillBackground(true);
    // Dark on pale yellow whatever the system's colours: a notice over a
    // page, not a part of it.
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(colour::kMarkBackground));
    p.setColor(QPalette::WindowText, ToQColor(colour::kBlack));
    setPalette(p);
    text_->setPalette(p);
    auto* offers = new QHBoxLayout;
    offers->addStretch();
    offers->addWidget(file_);
    offers->addWidget(folder_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(text_);
    layout->addLayout(offers);
    // Offered, never done unasked: the installer may only want to hand the
    // file on.
    connect(file_, &QPushButton::clicked, this, [this] { Open(path_); });
    connect(folder_, &QPushButton::clicked, this,
            [this] { Open(QFileInfo(path_).absolutePath()); });
    hide_->setSingleShot(true);
    hide_->setInterval(kShownMs);
    connect(hide_, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

bool ReportNotice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::MouseButtonPress) {
        hide();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void ReportNotice::Open(const QString& what) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(what))) {
        hide();
        return;
    }
    text_->setText(QStringLiteral("No program on this machine opens\n%1")
                       .arg(text_->fontMetrics().elidedText(QDir::toNativeSeparators(what),
                                                            Qt::ElideMiddle, text_->width())));
    hide_->start();
}

void ReportNotice::Show(const QString& title, const QString& path, const QRect& area,
                        const QString& remark) {
    path_ = QFileInfo(path).absoluteFilePath();
    file_->setText(path_.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)
                       ? QStringLiteral("Open report")
                       : QStringLiteral("Open file"));
    const int room = area.width() - 2 * (kMargin + frameWidth()) - 2 * kMargin;
    // The folder gives up its middle first; the file's name stays whole.
    const QString native = QDir::toNativeSeparators(path_);
    const QString name = native.mid(native.lastIndexOf(QDir::separator()) + 1);
    const QString folder = native.chopped(name.size());
    const QFontMetrics m = text_->fontMetrics();
    const QString shown =
        m.horizontalAdvance(name) < room
            ? m.elidedText(folder, Qt::ElideMiddle, room - m.horizontalAdvance(name)) + name
            : m.elidedText(native, Qt::ElideMiddle, room);
    text_->setText(QStringLiteral("%1\n%2").arg(title, shown) + remark);
    const QSize size = sizeHint().boundedTo(QSize(area.width() - 2 * kMargin, area.height()));
    setGeometry(area.left() + (area.width() - size.width()) / 2,
                area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
    raise();
    show();
    hide_->start();
}

}  // namespace quillane
