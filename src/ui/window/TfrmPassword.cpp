#include "ui/window/TfrmPassword.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "console/pages/AccessLevel.h"
#include "ui/window/DialogFont.h"

namespace quillane {
namespace {

int ResultForCode(const QString& code) {
    if (code == QLatin1String(TfrmPassword::kAdvancedCode)) return dialog_result::kOk;
    if (code == QLatin1String(TfrmPassword::kDeveloperCode)) return dialog_result::kYes;
    if (code == QLatin1String(TfrmPassword::kBasicCode)) return dialog_result::kRetry;
    return 0;
}

}  // namespace

TfrmPassword::TfrmPassword(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Enter password"));
    // A fixed dialog frame: a minimised modal dialog would leave the main
    // window blocked with nothing on the screen to answer.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    setFixedSize(328, 119);
    setModal(true);
    BuildControls();
    connect(btnOk, &QPushButton::clicked, this, &TfrmPassword::btnOkClick);
    connect(bntCancel, &QPushButton::clicked, this, &TfrmPassword::reject);
}

void TfrmPassword::BuildControls() {
    Label1 = new QLabel(QStringLiteral("Enter password to access additional settings"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 16);
    Label1->adjustSize();

    ePassword = new QLineEdit(this);
    ePassword->setObjectName(QStringLiteral("ePassword"));
    ePassword->setGeometry(104, 40, 121, 21);
    ePassword->setEchoMode(QLineEdit::Password);
    // The platform's mask is a bullet; the installer's instructions show "*".
    ePassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));

    btnOk = new QPushButton(QStringLiteral("Check"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setGeometry(48, 80, 75, 25);
    btnOk->setDefault(true);

    bntCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bntCancel->setObjectName(QStringLiteral("bntCancel"));
    bntCancel->setGeometry(200, 80, 75, 25);
    bntCancel->setAutoDefault(false);

    setTabOrder(ePassword, btnOk);
    setTabOrder(btnOk, bntCancel);
}

void TfrmPassword::reject() { done(dialog_result::kCancel); }

void TfrmPassword::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TfrmPassword::FormShow() {
    ePassword->clear();
    ePassword->setFocus();
}

void TfrmPassword::btnOkClick() {
    // The whole text counts, blanks included: "5 " is not the code "5".
    const int result = ResultForCode(ePassword->text());
    if (result != 0) {
        done(result);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Error"),
                    QStringLiteral("Wrong password!!!"), QMessageBox::Ok, this);
    box.exec();
}

}  // namespace quillane
