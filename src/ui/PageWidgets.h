#pragma once

#include <QString>
#include <Qt>

class QLabel;
class QPushButton;
class QWidget;

namespace quillane {

class BarChart;
class NumberFormat;

// The small builders every page uses to put its controls at their places.

// A caption; right-aligned ones end at left + width.
QLabel* AddLabel(QWidget* parent, const QString& text, int left, int top, int width = -1,
                 Qt::Alignment align = Qt::AlignLeft);
// A named value label, centred in its box.
QLabel* AddValueLabel(QWidget* parent, const char* name, const QString& text, int left, int top,
                      int width, int height = 13);
QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, int left, int top,
                       int width, int height);
// A chart without bevel, its bottom axis labelled in the locale's numbers.
BarChart* AddChart(QWidget* parent, const char* name, int left, int top, int width, int height,
                   const NumberFormat& format);

}  // namespace quillane
