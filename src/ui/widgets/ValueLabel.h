#pragma once

#include <QString>
#include <QWidget>

#include "ui/widgets/FittedLine.h"

namespace quillane {

// A value a page shows (the signal, its maximum, a deviation): one line in a
// box of fixed size, centred unless told otherwise, that changes up to 60
// times a second. It looks
// as a label of the page does (FittedLine), but a new text only replaces the
// one drawn: a label's text does more at every change (its size hints, its
// contents, its accessible name whether or not anything listens).
class ValueLabel : public QWidget {
    Q_OBJECT
    // As a label's, so that whatever reads labels by name reads these too.
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit ValueLabel(const QString& text, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(const QString& text);
    Qt::Alignment alignment() const { return align_; }
    void setAlignment(Qt::Alignment align);
    // The widest text it will hold, so that its size stays put while the
    // value changes.
    void SetWidestText(const QString& widest);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Qt::Alignment align_ = Qt::AlignCenter;
    FittedLine line_;
};

}  // namespace quillane
