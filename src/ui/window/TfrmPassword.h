#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace quillane {

// The access dialog behind F10: the typed code chooses the access level. The
// main window reads the level from the dialog result (LevelForResult).
class TfrmPassword : public QDialog {
    Q_OBJECT

public:
    // One decimal digit each, different from each other; the developer code
    // has three digits.
    static constexpr const char* kAdvancedCode = "5";
    static constexpr const char* kDeveloperCode = "527";
    static constexpr const char* kBasicCode = "1";

    explicit TfrmPassword(QWidget* parent = nullptr);

    // Esc, the Cancel button and closing the frame all end with Cancel (2).
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnOkClick();
    void BuildControls();

    QLabel* Label1 = nullptr;
    QLineEdit* ePassword = nullptr;
    QPushButton* btnOk = nullptr;
    QPushButton* bntCancel = nullptr;
};

}  // namespace quillane
