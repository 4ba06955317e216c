#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

#include "console/pages/BarGeometry.h"

class QPainter;
class QPaintEvent;

namespace quillane {

// A chart of one-point bar series on a fixed bottom axis: a horizontal bar
// from 0 to X, and vertical bars drawn as full-height markers at X with a
// width in percent of the plot, a colour, an outline and an optional mark. A
// vertical bar whose X lies outside the axis (-1 by custom) is not drawn; a
// horizontal bar past the axis's end reaches the plot's edge, and one below 0
// is not drawn. Where they fall is BarGeometry's, so that no value can take a
// pixel out of the plot. Series are found by their titles, and what they hold
// can be read back without painting.
//
// Setting a value only schedules a repaint, so any number of changes between
// two frames costs one paint; the axis and its labels are drawn once into a
// picture and reused until the axis or the size changes.
class BarChart : public QWidget {
    Q_OBJECT

public:
    enum class Kind { HorizontalBar, VerticalBar };
    // A series is described by name, field by field, from one of its two kinds:
    //   BarChart::Series::Marker(kSerPP).At(0).Height(2).Width(4).Fill(white)
    struct Series {
        QString title;
        Kind kind = Kind::VerticalBar;
        double x = 0;
        // A vertical bar reaches this high on the left axis (full height at its
        // top or above; 0 draws nothing); a horizontal bar sits at this height.
        double y = 0;
        double widthPercent = 1;  // of the plot's width (vertical) or band (horizontal)
        QColor colour;
        QColor outline;  // none when invalid
        QString mark;
        QColor markColour;
        bool markBold = false;
        bool active = true;  // an inactive series is never shown
        // Edges the mark's letters (none when invalid), for a light text
        // colour that would not read on the mark's pale ground.
        QColor markEdge{};

        // A horizontal bar from 0 to X across the whole band.
        static Series Bar(const QString& title);
        // A vertical bar at X.
        static Series Marker(const QString& title);
        Series& At(double atX);
        Series& Height(double atY);
        Series& Width(double percent);
        Series& Fill(const QColor& fill);
        Series& Outline(const QColor& edge);
        Series& Mark(const QString& text, const QColor& textColour, bool bold = false);
        Series& MarkEdge(const QColor& edge);
        Series& Inactive();
    };

    explicit BarChart(QWidget* parent = nullptr);

    void AddSeries(const Series& series);
    void SetX(const QString& title, double x);
    void SetColour(const QString& title, const QColor& colour);
    double X(const QString& title) const;
    QColor Colour(const QString& title) const;
    // Whether the series' point is drawn: active, with some height, X on the
    // axis (a horizontal bar: X at 0 or past it).
    bool PointVisible(const QString& title) const;

    // Bottom axis from 0 to maximum, labelled every tickStep with four minor
    // ticks between; the left axis is hidden and fixed.
    void SetBottomAxis(double maximum, double tickStep);
    void SetAxisTitle(const QString& title);
    // Where along the axis the title goes (centred unless told otherwise).
    void SetAxisTitleAlignment(Qt::Alignment alignment);
    void SetLeftRange(double minimum, double maximum);
    // How axis values read (the locale's decimal separator).
    void SetLabelFormat(std::function<QString(double)> format);

    // Paints done so far, for the benchmark.
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Series* Find(const QString& title);
    const Series* Find(const QString& title) const;
    void Changed();
    void AxisChanged();
    // Where the series' point is drawn, mark included (empty when it is not).
    QRect Area(const Series& s) const;
    // The pixels the series' bar fills; nothing when it is not drawn (a
    // horizontal bar at 0 is drawn, zero pixels wide).
    std::optional<QRect> Bar(const Series& s) const;
    QRect MarkRect(const Series& s) const;
    // The marks' face (regular or bold) and their texts' widths, kept until
    // the chart's font changes: a mark is placed at every paint and every
    // move of its point, and a face made anew is looked up anew.
    const QFont& MarkFont(bool bold) const;
    int MarkWidth(const Series& s) const;
    QRect Plot() const;
    BarGeometry Geometry() const;
    void DrawBackground(QPainter& p) const;
    void DrawAxis(QPainter& p) const;
    void DrawMark(QPainter& p, const Series& s) const;

    std::vector<Series> series_;
    double axisMax_ = 1;
    double axisStep_ = 0.2;
    double leftMin_ = 0;
    double leftMax_ = 1;
    QString axisTitle_;
    Qt::Alignment axisTitleAlignment_ = Qt::AlignHCenter;
    std::function<QString(double)> labelFormat_;
    QPixmap background_;
    // The plot's place, asked for several times for every value set; it
    // follows the size, the font and whether the axis has a title.
    mutable std::optional<QRect> plot_;
    mutable std::optional<QFont> markFonts_[2];
    mutable QHash<QString, int> markWidths_[2];
    int paints_ = 0;
};

}  // namespace quillane
