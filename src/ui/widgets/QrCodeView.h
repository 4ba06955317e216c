#pragma once

#include <QWidget>

#include "remote/QrCode.h"

namespace quillane {

// A QR code drawn module by module, black on white with the quiet zone a
// reader needs around it, as large as whole pixels per module allow.
class QrCodeView : public QWidget {
    Q_OBJECT

public:
    explicit QrCodeView(QWidget* parent = nullptr);

    // The code of `text`; an empty text draws nothing.
    void SetText(const QString& text);
    QString Text() const { return text_; }
    const QrModules& Modules() const { return modules_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QrModules modules_;
};

}  // namespace quillane
