#pragma once

#include <QLabel>

namespace quillane {

struct CommandAnswer;

// Where the detector's answer to a command shows: a short coloured text that
// is empty until the first command, with the details in its tooltip.
class AnswerLabel : public QLabel {
    Q_OBJECT

public:
    // `alignment` puts the text beside the control it answers for.
    AnswerLabel(QWidget* parent, const char* name, const QRect& place,
                Qt::Alignment alignment = Qt::AlignHCenter);

    void Show(const CommandAnswer& answer);
    void Clear();
};

}  // namespace quillane
