#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace quillane {

class QrCodeView;

// "Phone view <F12>": sharing the console's live view with a phone on the
// same network, switched on and off here, with the addresses that reach it
// as text and the chosen one as a QR code. It does not block the window and
// stands beside it; Esc closes it while sharing goes on.
class RemoteViewDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDefaultPort = 8090;

    explicit RemoteViewDialog(QWidget* owner);

    // Sharing on `port`, reached at `addresses` (the first is shown as the QR
    // code until another is chosen).
    void ShowSharing(int port, const QStringList& addresses);
    // Sharing off; `problem` says why when it would not start.
    void ShowOff(int port, const QString& problem = QString());
    void ShowViewers(int viewers);
    // The address chosen in the list (its QR code), empty while off.
    QString ChosenAddress() const;

    // Beside the main window, where the screen has room (see PlaceBeside).
    void PlaceBesideOwner();

signals:
    // The installer switched sharing on (on `port`) or off.
    void SharingWanted(bool on, int port);

private:
    void BuildControls();
    void chbShareClick();
    void lbAddressesChange();

    QCheckBox* chbShare = nullptr;
    QSpinBox* spePort = nullptr;
    QListWidget* lbAddresses = nullptr;
    QrCodeView* imgAddress = nullptr;
    QLabel* lStatus = nullptr;
    QPushButton* btnClose = nullptr;
    bool sharing_ = false;
};

}  // namespace quillane
