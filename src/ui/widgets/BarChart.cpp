#include "ui/widgets/BarChart.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "ui/widgets/ColourKit.h"

namespace quillane {
namespace {

constexpr int kMarginLeft = 12;
constexpr int kMarginRight = 16;
constexpr int kMarginTop = 16;  // room for the marks above the plot
constexpr int kMajorTick = 5;
constexpr int kMinorTick = 3;
constexpr int kMinorTicks = 4;

}  // namespace

BarChart::Series BarChart::Series::Bar(const QString& title) {
    Series s;
    s.title = title;
    s.kind = Kind::HorizontalBar;
    s.widthPercent = 100;
    return s;
}

BarChart::Series BarChart::Series::Marker(const QString& title) {
    Series s;
    s.title = title;
    s.kind = Kind::VerticalBar;
    return s;
}

BarChart::Series& BarChart::Series::At(double atX) {
    x = atX;
    return *this;
}

BarChart::Series& BarChart::Series::Height(double atY) {
    y = atY;
    return *this;
}

BarChart::Series& BarChart::Series::Width(double percent) {
    widthPercent = percent;
    return *this;
}

BarChart::Series& BarChart::Series::Fill(const QColor& fill) {
    colour = fill;
    return *this;
}

BarChart::Series& BarChart::Series::Outline(const QColor& edge) {
    outline = edge;
    return *this;
}

BarChart::Series& BarChart::Series::Mark(const QString& text, const QColor& textColour, bool bold) {
    mark = text;
    markColour = textColour;
    markBold = bold;
    return *this;
}

BarChart::Series& BarChart::Series::MarkEdge(const QColor& edge) {
    markEdge = edge;
    return *this;
}

BarChart::Series& BarChart::Series::Inactive() {
    active = false;
    return *this;
}

BarChart::BarChart(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    labelFormat_ = [](double v) { return QString::number(v, 'g', 6); };
}

void BarChart::AddSeries(const Series& series) {
    series_.push_back(series);
    Changed();
}

BarChart::Series* BarChart::Find(const QString& title) {
    for (Series& s : series_)
        if (s.title == title) return &s;
    return nullptr;
}

const BarChart::Series* BarChart::Find(const QString& title) const {
    return const_cast<BarChart*>(this)->Find(title);
}

// Only what the point covered before and covers now is painted again: at
// hundreds of redraws a second the signal bar moves by a few pixels.
void BarChart::SetX(const QString& title, double x) {
    Series* s = Find(title);
    if (s == nullptr || s->x == x) return;
    const QRect before = Area(*s);
    const std::optional<QRect> barBefore = Bar(*s);
    s->x = x;
    const QRect after = Area(*s);
    const std::optional<QRect> barAfter = Bar(*s);
    // A move of less than a pixel changes nothing on the screen.
    if (after == before && barAfter == barBefore) return;
    if (s->kind == Kind::HorizontalBar && barBefore && barAfter) {
        // Only the strip between the old and the new end of the bar changes.
        const int from = std::min(barBefore->right(), barAfter->right());
        const int to = std::max(barBefore->right(), barAfter->right());
        update(QRect(from - 2, after.top(), to - from + 5, after.height()));
        return;
    }
    update(before.united(after));
}

void BarChart::SetColour(const QString& title, const QColor& colour) {
    Series* s = Find(title);
    if (s == nullptr || s->colour == colour) return;
    s->colour = colour;
    update(Area(*s));
}

QRect BarChart::Area(const Series& s) const {
    const std::optional<QRect> bar = Bar(s);
    if (!bar) return {};
    QRect area = bar->adjusted(-2, -2, 2, 2);
    // A mark is wider than a narrow bar: what it covered must go too.
    if (!s.mark.isEmpty()) {
        area = area.united(MarkRect(s));
        area.setTop(0);
    }
    if (s.kind == Kind::HorizontalBar) area.setLeft(0);
    return area;
}

double BarChart::X(const QString& title) const {
    const Series* s = Find(title);
    return s ? s->x : 0;
}

QColor BarChart::Colour(const QString& title) const {
    const Series* s = Find(title);
    return s ? s->colour : QColor();
}

bool BarChart::PointVisible(const QString& title) const {
    const Series* s = Find(title);
    return s != nullptr && Bar(*s).has_value();
}

void BarChart::SetBottomAxis(double maximum, double tickStep) {
    if (maximum == axisMax_ && tickStep == axisStep_) return;
    axisMax_ = maximum;
    axisStep_ = tickStep;
    AxisChanged();
}

void BarChart::SetAxisTitle(const QString& title) {
    axisTitle_ = title;
    AxisChanged();
}

void BarChart::SetAxisTitleAlignment(Qt::Alignment alignment) {
    axisTitleAlignment_ = alignment;
    AxisChanged();
}

void BarChart::SetLeftRange(double minimum, double maximum) {
    leftMin_ = minimum;
    leftMax_ = maximum;
    Changed();
}

void BarChart::SetLabelFormat(std::function<QString(double)> format) {
    labelFormat_ = std::move(format);
    AxisChanged();
}

void BarChart::Changed() { update(); }

void BarChart::AxisChanged() {
    background_ = QPixmap();
    plot_.reset();
    update();
}

void BarChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    background_ = QPixmap();
    plot_.reset();
}

void BarChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The labels' height sets the plot's foot, and the picture holds them.
    if (event->type() != QEvent::FontChange) return;
    for (int bold = 0; bold < 2; ++bold) {
        markFonts_[bold].reset();
        markWidths_[bold].clear();
    }
    AxisChanged();
}

QRect BarChart::Plot() const {
    if (plot_) return *plot_;
    const int labels = fontMetrics().height();
    const int bottom = kMajorTick + 2 + labels + (axisTitle_.isEmpty() ? 0 : labels) + 4;
    plot_ = QRect(kMarginLeft, kMarginTop, width() - kMarginLeft - kMarginRight,
                  height() - kMarginTop - bottom);
    return *plot_;
}

BarGeometry BarChart::Geometry() const {
    const QRect plot = Plot();
    return BarGeometry({plot.left(), plot.top(), plot.width(), plot.height()}, axisMax_, leftMin_,
                       leftMax_);
}

void BarChart::paintEvent(QPaintEvent* event) {
    ++paints_;
    const qreal ratio = devicePixelRatioF();
    if (background_.isNull() || background_.devicePixelRatio() != ratio) {
        background_ = QPixmap(size() * ratio);
        background_.setDevicePixelRatio(ratio);
        QPainter bp(&background_);
        // A painter on a picture starts with the application's font, not the
        // chart's: the labels are measured in the chart's, so drawn in it too.
        bp.setFont(font());
        DrawBackground(bp);
        DrawAxis(bp);
    }
    QPainter p(this);
    const QRect dirty = event->rect();
    p.drawPixmap(dirty, background_,
                 QRectF(dirty.topLeft() * ratio, dirty.size() * ratio).toAlignedRect());
    p.setClipRect(Plot().adjusted(0, -kMarginTop, 1, 1).intersected(dirty));
    for (const Series& s : series_) {
        const std::optional<QRect> bar = Bar(s);
        if (!bar) continue;
        p.setPen(s.outline.isValid() ? QPen(s.outline) : Qt::NoPen);
        p.setBrush(s.colour);
        p.drawRect(*bar);
    }
    p.setClipping(false);
    // A mark away from what changed would be drawn, letters and all, only to
    // be cut away whole (the edge's stroke reaches a pixel past its box).
    for (const Series& s : series_)
        if (!s.mark.isEmpty() && Bar(s) &&
            event->region().intersects(MarkRect(s).adjusted(-2, -2, 2, 2)))
            DrawMark(p, s);
}

void BarChart::DrawBackground(QPainter& p) const {
    p.fillRect(rect(), palette().color(QPalette::Window));
    const QRect plot = Plot();
    p.fillRect(plot, ToQColor(colour::kWhite));
    p.setPen(ToQColor(colour::kChartFrame));
    p.drawRect(plot.adjusted(0, 0, -1, -1));
}

void BarChart::DrawAxis(QPainter& p) const {
    const QRect plot = Plot();
    const int base = plot.bottom() + 1;
    p.setPen(palette().color(QPalette::WindowText));
    p.drawLine(plot.left(), base, plot.right(), base);
    const QFontMetrics fm = fontMetrics();
    const BarGeometry geometry = Geometry();
    for (const BarGeometry::Tick& tick : geometry.MajorTicks(axisStep_)) {
        p.drawLine(tick.column, base, tick.column, base + kMajorTick);
        const QString label = labelFormat_(tick.value);
        // The last label would reach past the chart's edge: held inside it.
        const int left = BarGeometry::TextLeft(tick.column, fm.horizontalAdvance(label), width());
        p.drawText(left, base + kMajorTick + 1 + fm.ascent(), label);
    }
    for (int column : geometry.MinorTicks(axisStep_, kMinorTicks))
        p.drawLine(column, base, column, base + kMinorTick);
    if (!axisTitle_.isEmpty()) {
        const int top = base + kMajorTick + 1 + fm.height();
        p.drawText(QRect(plot.left(), top, plot.width(), fm.height()),
                   axisTitleAlignment_ | Qt::AlignVCenter, axisTitle_);
    }
}

std::optional<QRect> BarChart::Bar(const Series& s) const {
    if (!s.active) return std::nullopt;
    const BarGeometry geometry = Geometry();
    const std::optional<BarGeometry::Pixels> bar =
        s.kind == Kind::HorizontalBar ? geometry.HorizontalBar(s.x, s.widthPercent)
                                      : geometry.VerticalBar(s.x, s.y, s.widthPercent);
    if (!bar) return std::nullopt;
    return QRect(bar->left, bar->top, bar->width, bar->height);
}

const QFont& BarChart::MarkFont(bool bold) const {
    std::optional<QFont>& kept = markFonts_[bold ? 1 : 0];
    if (!kept) {
        kept = font();
        kept->setBold(bold);
    }
    return *kept;
}

int BarChart::MarkWidth(const Series& s) const {
    QHash<QString, int>& widths = markWidths_[s.markBold ? 1 : 0];
    const auto kept = widths.constFind(s.mark);
    if (kept != widths.constEnd()) return *kept;
    const int width = QFontMetrics(MarkFont(s.markBold)).horizontalAdvance(s.mark);
    widths.insert(s.mark, width);
    return width;
}

QRect BarChart::MarkRect(const Series& s) const {
    const int w = MarkWidth(s) + 4;
    const int h = QFontMetrics(MarkFont(s.markBold)).height();
    const int centre = Geometry().Column(s.x).value_or(Plot().left());
    return QRect(BarGeometry::TextLeft(centre, w, width()), Plot().top() - h - 1, w, h);
}

void BarChart::DrawMark(QPainter& p, const Series& s) const {
    const QFont& font = MarkFont(s.markBold);
    p.setFont(font);
    const QRect box = MarkRect(s);
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(colour::kMarkBackground));
    p.drawRect(box);
    const QColor text =
        s.markColour.isValid() ? s.markColour : palette().color(QPalette::WindowText);
    if (!s.markEdge.isValid()) {
        p.setPen(text);
        p.drawText(box, Qt::AlignCenter, s.mark);
        return;
    }
    const QFontMetrics fm(font);
    QPainterPath letters;
    letters.addText(box.left() + (box.width() - MarkWidth(s)) / 2.0,
                    box.top() + (box.height() - fm.height()) / 2.0 + fm.ascent(), font, s.mark);
    p.setRenderHint(QPainter::Antialiasing);
    p.strokePath(letters, QPen(s.markEdge, 1));
    p.fillPath(letters, text);
    p.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace quillane
