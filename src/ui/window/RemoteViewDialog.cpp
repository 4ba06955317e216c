#include "ui/window/RemoteViewDialog.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "console/pages/SidePlacement.h"
#include "ui/widgets/QrCodeView.h"
#include "ui/window/DialogFont.h"

namespace quillane {
namespace {

ScreenArea AreaOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

RemoteViewDialog::RemoteViewDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmRemoteView"));
    setWindowTitle(QStringLiteral("Phone view <F12>"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    // Aiming and walking go on in the window while the phone shows them.
    setModal(false);
    BuildControls();
    ShowOff(kDefaultPort);
}

void RemoteViewDialog::BuildControls() {
    auto* intro = new QLabel(QStringLiteral("A live, read-only view of this console for a phone "
                                            "on the same network. Scan the code or type an "
                                            "address into the phone's browser."),
                             this);
    intro->setWordWrap(true);

    chbShare = new QCheckBox(QStringLiteral("Share the view on port"), this);
    chbShare->setObjectName(QStringLiteral("chbShare"));
    spePort = new QSpinBox(this);
    spePort->setObjectName(QStringLiteral("spePort"));
    spePort->setRange(1025, 65535);
    spePort->setValue(kDefaultPort);
    auto* shareRow = new QHBoxLayout;
    shareRow->addWidget(chbShare);
    shareRow->addWidget(spePort);
    shareRow->addStretch();

    imgAddress = new QrCodeView(this);
    imgAddress->setObjectName(QStringLiteral("imgAddress"));
    lbAddresses = new QListWidget(this);
    lbAddresses->setObjectName(QStringLiteral("lbAddresses"));
    lbAddresses->setToolTip(
        QStringLiteral("The addresses that reach this console; the chosen "
                       "one is the code above"));
    // Whole addresses for whoever types one instead of scanning: the host and
    // port on one line, the token on the next.
    lbAddresses->setTextElideMode(Qt::ElideNone);
    lbAddresses->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lbAddresses->setFixedHeight(4 * fontMetrics().height() + 8);
    lStatus = new QLabel(this);
    lStatus->setObjectName(QStringLiteral("lStatus"));
    lStatus->setWordWrap(true);
    btnClose = new QPushButton(QStringLiteral("Close <Esc>"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch();
    closeRow->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(shareRow);
    layout->addWidget(imgAddress, 0, Qt::AlignHCenter);
    layout->addWidget(lbAddresses);
    layout->addWidget(lStatus);
    layout->addLayout(closeRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Wide enough for an address's host and port on one line and its token
    // on the next.
    const QFontMetrics m = fontMetrics();
    const int addressWidth =
        std::max(m.horizontalAdvance(QStringLiteral("http://255.255.255.255:65535/")),
                 m.horizontalAdvance(QString(32, QLatin1Char('d')) + QLatin1Char('/')));
    intro->setFixedWidth(std::max(imgAddress->sizeHint().width() + 80, addressWidth + 40));

    setTabOrder(chbShare, spePort);
    setTabOrder(spePort, lbAddresses);
    setTabOrder(lbAddresses, btnClose);
    connect(chbShare, &QCheckBox::clicked, this, &RemoteViewDialog::chbShareClick);
    connect(lbAddresses, &QListWidget::currentRowChanged, this,
            &RemoteViewDialog::lbAddressesChange);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
}

void RemoteViewDialog::chbShareClick() {
    emit SharingWanted(chbShare->isChecked(), spePort->value());
}

void RemoteViewDialog::lbAddressesChange() {
    imgAddress->SetText(sharing_ ? ChosenAddress() : QString());
}

QString RemoteViewDialog::ChosenAddress() const {
    const QListWidgetItem* item = lbAddresses->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

void RemoteViewDialog::ShowSharing(int port, const QStringList& addresses) {
    sharing_ = true;
    const QSignalBlocker quiet(chbShare);
    chbShare->setChecked(true);
    spePort->setValue(port);
    // The port is the sharing's own while it lasts.
    spePort->setEnabled(false);
    const QString chosen = ChosenAddress();
    lbAddresses->clear();
    for (const QString& address : addresses) {
        // "http://host:port/" and "token/"
        const int split = address.lastIndexOf(QLatin1Char('/'), -2) + 1;
        auto* item =
            new QListWidgetItem(address.left(split) + QLatin1Char('\n') + address.mid(split));
        item->setData(Qt::UserRole, address);
        lbAddresses->addItem(item);
    }
    const int again = addresses.indexOf(chosen);
    lbAddresses->setCurrentRow(again >= 0 ? again : 0);
    lbAddresses->setEnabled(true);
    lbAddressesChange();
    ShowViewers(0);
}

void RemoteViewDialog::ShowOff(int port, const QString& problem) {
    sharing_ = false;
    const QSignalBlocker quiet(chbShare);
    chbShare->setChecked(false);
    spePort->setValue(port);
    spePort->setEnabled(true);
    lbAddresses->clear();
    lbAddresses->setEnabled(false);
    imgAddress->SetText(QString());
    lStatus->setText(
        problem.isEmpty() ? QStringLiteral("Not shared: no phone can see this console.") : problem);
}

void RemoteViewDialog::ShowViewers(int viewers) {
    if (!sharing_) return;
    QString text;
    if (lbAddresses->count() == 0)
        text = QStringLiteral("Shared, but this computer has no network a phone could reach.");
    else if (viewers == 0)
        text = QStringLiteral("Shared. No phone is watching yet.");
    else
        text = QStringLiteral("Shared. Phones watching: %1").arg(viewers);
    lStatus->setText(text);
}

void RemoteViewDialog::PlaceBesideOwner() {
    const QWidget* owner = parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!owner || !screen) return;
    adjustSize();
    // The frame this dialog will get is taken to be the owner's.
    const QRect frame = owner->frameGeometry();
    const QRect inner = owner->geometry();
    const QSize margins(frame.width() - inner.width(), frame.height() - inner.height());
    const QSize outer = size() + margins;
    const ScreenPoint at = PlaceBeside(AreaOf(screen->availableGeometry()), AreaOf(frame),
                                       outer.width(), outer.height());
    move(at.x, at.y);
}

}  // namespace quillane
