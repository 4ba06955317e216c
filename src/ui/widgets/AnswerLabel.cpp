#include "ui/widgets/AnswerLabel.h"

#include "console/line/CommandAnswer.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {

AnswerLabel::AnswerLabel(QWidget* parent, const char* name, const QRect& place,
                         Qt::Alignment alignment)
    : QLabel(parent) {
    setObjectName(QString::fromLatin1(name));
    setGeometry(place);
    setAlignment(alignment | Qt::AlignVCenter);
    QFont f = font();
    f.setBold(true);
    setFont(f);
}

void AnswerLabel::Show(const CommandAnswer& answer) {
    QPalette p = palette();
    p.setColor(QPalette::WindowText, ToQColor(answer.colour, p));
    setPalette(p);
    setText(QString::fromStdString(answer.text));
    setToolTip(QString::fromStdString(answer.tip));
}

void AnswerLabel::Clear() {
    clear();
    setToolTip(QString());
}

}  // namespace quillane
