#include "ui/widgets/PageWidgets.h"

#include <QLabel>
#include <QPushButton>

#include "model/Conversions.h"
#include "model/NumberFormat.h"
#include "ui/widgets/BarChart.h"
#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/PageComboBox.h"

namespace quillane {

FittedLabel* AddLabel(QWidget* parent, const QString& text, int left, int top, int width,
                      Qt::Alignment align) {
    auto* label = new FittedLabel(text, parent);
    label->adjustSize();
    const int w = width < 0 ? label->width() : width;
    label->setGeometry(left, top, w, label->height());
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

ValueLabel* AddValueLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                          int width, int height) {
    auto* label = new ValueLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->setFixedSize(width, height);
    // Filled with the page's colour, so that a new value repaints the label
    // alone and not the page and tab frame behind it, many times a second.
    label->setAutoFillBackground(true);
    return label;
}

PageComboBox* AddList(QWidget* parent, const char* name, int left, int top, int width) {
    auto* box = new PageComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(left, top, width, 21);
    return box;
}

QStringList ZoneItems() {
    QStringList items;
    for (int item = 0; item < kZoneItemCount; ++item)
        items << QString::number(DistToMetres(ZoneItemToIndex(item)));
    return items;
}

QString WidestMilliVolts(const NumberFormat& format) {
    return QString::fromStdString("00" + format.Fixed(0, 3));
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, int left, int top,
                       int width, int height) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, height);
    return button;
}

BarChart* AddChart(QWidget* parent, const char* name, int left, int top, int width, int height,
                   const NumberFormat& format) {
    auto* chart = new BarChart(parent);
    chart->setObjectName(QString::fromLatin1(name));
    chart->setGeometry(left, top, width, height);
    chart->SetLabelFormat(
        [&format](double v) { return QString::fromStdString(format.General(v)); });
    return chart;
}

}  // namespace quillane
