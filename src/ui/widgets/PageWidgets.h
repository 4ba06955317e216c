#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

#include "ui/widgets/FittedLabel.h"
#include "ui/widgets/ValueLabel.h"

class QPushButton;
class QWidget;

namespace quillane {

class BarChart;
class NumberFormat;
class PageComboBox;

// The small builders every page uses to put its controls at their places.

// A caption; right-aligned ones end at left + width. Captions and value
// labels draw their text smaller where the face would not fit their box.
FittedLabel* AddLabel(QWidget* parent, const QString& text, int left, int top, int width = -1,
                      Qt::Alignment align = Qt::AlignLeft);
// A named value label, centred in its box.
ValueLabel* AddValueLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                          int width, int height = 13);
// A named drop-down list, 21 high.
PageComboBox* AddList(QWidget* parent, const char* name, int left, int top, int width);
// The zone lengths "10" ... "300" (30 items, item k is zone index k + 2).
QStringList ZoneItems();
// The widest signal a millivolt label shows: the highest signal reads 500 mV,
// three digits before the separator and three after.
QString WidestMilliVolts(const NumberFormat& format);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, int left, int top,
                       int width, int height);
// A chart without bevel, its bottom axis labelled in the locale's numbers.
BarChart* AddChart(QWidget* parent, const char* name, int left, int top, int width, int height,
                   const NumberFormat& format);

}  // namespace quillane
