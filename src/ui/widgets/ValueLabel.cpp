#include "ui/widgets/ValueLabel.h"

#include <QtWidgets/qtwidgetsglobal.h>

#include <QPainter>
#include <QStyle>
#if QT_CONFIG(accessibility)
#include <QAccessible>
#include <QAccessibleWidget>
#endif

namespace quillane {

#if QT_CONFIG(accessibility)
namespace {

// A value label to assistive technology: a static text whose name is the
// value, as a label is.
class AccessibleValue : public QAccessibleWidget {
public:
    explicit AccessibleValue(ValueLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<const ValueLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* AccessibleValueOf(const QString& className, QObject* object) {
    if (className == QLatin1String("quillane::ValueLabel") && object->isWidgetType())
        return new AccessibleValue(static_cast<ValueLabel*>(object));
    return nullptr;
}

}  // namespace
#endif

ValueLabel::ValueLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
#if QT_CONFIG(accessibility)
    static const bool kAccessible = (QAccessible::installFactory(&AccessibleValueOf), true);
    static_cast<void>(kAccessible);
#endif
}

void ValueLabel::setText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    update();
#if QT_CONFIG(accessibility)
    // Told only to what listens: building the event costs even when nothing
    // does.
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
#endif
}

void ValueLabel::setAlignment(Qt::Alignment align) {
    align_ = align;
    update();
}

void ValueLabel::SetWidestText(const QString& widest) {
    line_.SetWidestText(widest);
    update();
}

void ValueLabel::paintEvent(QPaintEvent* event) {
    static_cast<void>(event);
    const QRect room = contentsRect();
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), align_);
    QPainter p(this);
    const QFont& fitted = line_.Fitted(*this, text_, room.width());
    // The painter starts in the widget's font; setting an equal one anew
    // would look its face up again at every paint.
    if (fitted != font()) p.setFont(fitted);
    if (!line_.Draw(p, *this, room, align, text_))
        style()->drawItemText(&p, room, align, palette(), isEnabled(), text_, foregroundRole());
}

}  // namespace quillane
