#include "ui/window/ReportPdf.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "console/pages/Colour.h"
#include "console/record/CommissioningReport.h"
#include "console/record/ReportLayout.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {
namespace {

constexpr int kDotsPerInch = 300;
constexpr double kMarginMm = 18;
constexpr double kRowMm = 5.5;
// Room at the foot of each page for the version and the page number.
constexpr double kFootMm = 8;
constexpr int kAlarmColumns = 4;

QColor Black() { return ToQColor(colour::kBlack); }
QColor Grey() { return ToQColor(colour::kGrey); }

QString Q(const std::string& s) { return QString::fromStdString(s); }

QFont Font(double points, bool bold = false) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                   QStringLiteral("Arial")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

struct Style {
    QFont font;
    QColor colour;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
};

Style Plain(double points = 10) { return {Font(points), Black()}; }
Style Bold(double points = 10) { return {Font(points, true), Black()}; }
Style Quiet(double points = 10) { return {Font(points), Grey()}; }

// A part of the report, as high as its text needs, drawn at the top the
// pages give it.
struct Block {
    double height = 0;
    bool keepWithNext = false;
    std::function<void(double top, double height)> draw;
    double minHeight = 0;
};

// Draws in millimetres on the device's dots; every text wraps within the
// width it is given, at a word or, for a word wider than that, anywhere.
class Pen {
public:
    explicit Pen(QPainter& p) : p_(p), dots_(p.device()->logicalDpiY() / 25.4) {}

    double Mm(double mm) const { return mm * dots_; }
    QPainter& Painter() { return p_; }

    // The width a text takes on one line.
    double Width(const Style& s, const QString& text) {
        p_.setFont(s.font);
        return p_.boundingRect(QRectF(0, 0, Mm(1000), Mm(1000)), Qt::AlignLeft | Qt::AlignTop, text)
                   .width() /
               dots_;
    }
    // The height a text needs at this width.
    double Height(const Style& s, double width, const QString& text) {
        p_.setFont(s.font);
        const QRectF need =
            p_.boundingRect(QRectF(0, 0, Mm(width), Mm(1000)), text, Option(s.align));
        return need.height() / dots_;
    }
    void Text(const Style& s, double x, double y, double width, double height,
              const QString& text) {
        p_.setFont(s.font);
        p_.setPen(s.colour);
        p_.drawText(QRectF(Mm(x), Mm(y), Mm(width), Mm(height)), text, Option(s.align));
    }
    void Line(double x0, double y0, double x1, double y1, const QColor& colour, double widthMm) {
        p_.setPen(QPen(colour, Mm(widthMm)));
        p_.drawLine(QPointF(Mm(x0), Mm(y0)), QPointF(Mm(x1), Mm(y1)));
    }

private:
    static QTextOption Option(Qt::Alignment align) {
        QTextOption o(align);
        o.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        return o;
    }

    QPainter& p_;
    double dots_;
};

// ---- the plot ----

QPointF At(const PlotFrame& f, double seconds, double percent, const Pen& pen) {
    return QPointF(pen.Mm(f.X(seconds)), pen.Mm(f.Y(percent)));
}

QRectF Area(const PlotFrame& f, const Pen& pen) {
    return QRectF(pen.Mm(f.left), pen.Mm(f.top), pen.Mm(f.width), pen.Mm(f.height));
}

void DrawGrid(Pen& pen, const PlotFrame& f) {
    QPainter& p = pen.Painter();
    p.setFont(Font(7.5));
    const QRectF area = Area(f, pen);
    const double labelW = pen.Mm(12), labelH = pen.Mm(4);
    for (const double v : AxisTicks(f.deviation)) {
        const double y = pen.Mm(f.Y(v));
        const bool zero = std::abs(v) < f.deviation.step / 2;
        p.setPen(QPen(zero ? Black() : ToQColor(colour::kGridGrey), pen.Mm(zero ? 0.3 : 0.15)));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(Black());
        const long long whole = std::llround(v);
        const QString label = whole > 0 ? QStringLiteral("+%1").arg(whole) : QString::number(whole);
        p.drawText(QRectF(area.left() - labelW - pen.Mm(1.5), y - labelH / 2, labelW, labelH),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    const std::vector<double> times = AxisTicks(f.time);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double x = pen.Mm(f.X(times[i]));
        p.setPen(QPen(ToQColor(colour::kGridGrey), pen.Mm(0.15)));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(Black());
        // The first and the last within the frame's ends, clear of the
        // deviation labels and the thresholds' names.
        QRectF label(x - labelW / 2, area.bottom() + pen.Mm(1), labelW, labelH);
        Qt::Alignment align = Qt::AlignHCenter;
        if (i == 0) {
            label.moveLeft(x);
            align = Qt::AlignLeft;
        } else if (i + 1 == times.size()) {
            label.moveRight(x);
            align = Qt::AlignRight;
        }
        p.drawText(label, align | Qt::AlignTop, Q(DurationText(times[i])));
    }
}

void DrawOutages(Pen& pen, const PlotFrame& f, const CommissioningReport& r) {
    QPainter& p = pen.Painter();
    p.setPen(Qt::NoPen);
    p.setBrush(ToQColor(colour::kOutage));
    for (const auto& [x0, x1] : OutageSpans(f, r.plotOutages))
        p.drawRect(
            QRectF(pen.Mm(x0), pen.Mm(f.top), pen.Mm(std::max(x1 - x0, 0.4)), pen.Mm(f.height)));
}

void DrawSignal(Pen& pen, const PlotFrame& f, const CommissioningReport& r) {
    QPainter& p = pen.Painter();
    p.setPen(QPen(ToQColor(colour::kBandEdge), pen.Mm(0.15)));
    p.setBrush(ToQColor(colour::kBandGrey));
    for (const std::vector<MmPoint>& outline : SignalBandOutlines(f, r.plot, r.plotOutages)) {
        QPolygonF band;
        for (const MmPoint& m : outline) band << QPointF(pen.Mm(m.x), pen.Mm(m.y));
        p.drawPolygon(band);
    }
}

// One threshold as a step line through its value at each point.
void DrawThreshold(Pen& pen, const PlotFrame& f, const std::vector<WalkTestRecord::Point>& s,
                   double (*valueOf)(const WalkTestRecord::Point&), const QColor& colour) {
    QPainterPath line;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t0 = i == 0 ? f.time.low : s[i].seconds;
        const double t1 = i + 1 < s.size() ? s[i + 1].seconds : f.time.high;
        if (i == 0)
            line.moveTo(At(f, t0, valueOf(s[i]), pen));
        else
            line.lineTo(At(f, t0, valueOf(s[i]), pen));
        line.lineTo(At(f, t1, valueOf(s[i]), pen));
    }
    QPen dashed(colour, pen.Mm(0.45));
    dashed.setStyle(Qt::DashLine);
    pen.Painter().setPen(dashed);
    pen.Painter().setBrush(Qt::NoBrush);
    pen.Painter().drawPath(line);
}

void DrawAlarms(Pen& pen, const PlotFrame& f, const CommissioningReport& r) {
    QPainter& p = pen.Painter();
    const WalkTestRecord& walk = *r.walk;
    const QColor red = ToQColor(colour::kRed);
    p.setFont(Font(7, true));
    const std::vector<double> xs = AlarmMarkXs(f, walk);
    const std::vector<int> levels = AlarmMarkLevels(xs, 5.4);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const double x = pen.Mm(xs[i]);
        QPen dotted(red, pen.Mm(0.35));
        dotted.setStyle(Qt::DotLine);
        p.setPen(dotted);
        p.drawLine(QPointF(x, pen.Mm(f.top)), QPointF(x, pen.Mm(f.Bottom())));
        if (levels[i] < 0) continue;
        const QRectF mark(x - pen.Mm(2.5), pen.Mm(f.top - 4.5 - 4.3 * levels[i]), pen.Mm(5),
                          pen.Mm(3.8));
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawRoundedRect(mark, pen.Mm(0.8), pen.Mm(0.8));
        p.setPen(ToQColor(colour::kWhite));
        p.drawText(mark, Qt::AlignCenter, QString::number(i + 1));
    }
}

const QString kPlotTitle =
    QStringLiteral("Signal against the thresholds: deviation from the average level, %");
const QString kPlotAxisTitle = QStringLiteral("time since the start of the walk test, min:s");
const QString kPlotKey = QStringLiteral(
    "Grey band: the lowest to the highest signal of each half second. Dashed: the thresholds, "
    "PL above the average level, LL and HL below it. Red: the alarms counted, by number.");
const QString kPlotOutageKey = QStringLiteral(" Pink: the link to the detector was lost.");

// The key names only what the plot shows.
QString PlotKey(const CommissioningReport& r) {
    return r.plotOutages.empty() ? kPlotKey : kPlotKey + kPlotOutageKey;
}

Block PlotBlock(Pen& pen, const CommissioningReport& r, double width) {
    // The title, room for the alarm numbers, the plot, its time labels and
    // axis title, and the key.
    const QString key = PlotKey(r);
    const double keyHeight = pen.Height(Quiet(8), width, key);
    const double around = 6 + 10 + 6 + 6 + keyHeight + 2;
    const auto draw = [&pen, &r, key, width, keyHeight, around](double top, double height) {
        pen.Text(Plain(9), 0, top, width, 5, kPlotTitle);
        const PlotFrame f =
            PlaceReportPlot(top + 16, width, r.timeAxis, r.deviationAxis, height - around);
        QPainter& p = pen.Painter();
        p.save();
        p.setClipRect(Area(f, pen));
        DrawOutages(pen, f, r);
        p.restore();
        DrawGrid(pen, f);
        p.save();
        p.setClipRect(Area(f, pen));
        p.setRenderHint(QPainter::Antialiasing);
        DrawSignal(pen, f, r);
        const QColor pl = ToQColor(colour::kRed), ll = ToQColor(colour::kBlue),
                     hl = ToQColor(colour::kGreen);
        DrawThreshold(
            pen, f, r.plot, [](const WalkTestRecord::Point& pt) { return pt.pl; }, pl);
        DrawThreshold(
            pen, f, r.plot, [](const WalkTestRecord::Point& pt) { return -pt.ll; }, ll);
        DrawThreshold(
            pen, f, r.plot, [](const WalkTestRecord::Point& pt) { return -pt.hl; }, hl);
        p.restore();
        p.setPen(QPen(Black(), pen.Mm(0.25)));
        p.setBrush(Qt::NoBrush);
        p.drawRect(Area(f, pen));
        DrawAlarms(pen, f, r);
        // The thresholds' names at the right, where their lines end.
        if (!r.plot.empty()) {
            const auto& last = r.plot.back();
            const std::vector<double> ys = ThresholdNameYs(
                {f.Y(last.pl), f.Y(-last.ll), f.Y(-last.hl)}, f.top, f.Bottom(), 3.2);
            const QColor colours[] = {pl, ll, hl};
            const char* names[] = {"PL", "LL", "HL"};
            for (std::size_t i = 0; i < ys.size(); ++i)
                pen.Text({Font(8, true), colours[i], Qt::AlignLeft | Qt::AlignVCenter},
                         f.Right() + 1, ys[i] - 2, 8, 4, QString::fromLatin1(names[i]));
        }
        const double below = f.Bottom() + 6;
        pen.Text({Font(8), Black(), Qt::AlignHCenter | Qt::AlignTop}, f.left, below, f.width, 5,
                 kPlotAxisTitle);
        pen.Text(Quiet(8), 0, below + 6, width, keyHeight + 1, key);
    };
    return {around + kPlotHeightMm, false, draw, around + kPlotMinHeightMm};
}

// ---- the text ----

class ReportBlocks {
public:
    ReportBlocks(Pen& pen, const CommissioningReport& r, double width)
        : pen_(pen), r_(r), width_(width) {}

    std::vector<Block> Build() {
        Header();
        Section(QStringLiteral("Site"));
        for (const ReportRow& row : r_.form) Row(row, 36);
        Section(QStringLiteral("Detector"));
        SideBySide(r_.identity, r_.settings, 30);
        Section(QStringLiteral("Thresholds in force"));
        Thresholds();
        Row({"Calibration maximum:", r_.calibrationMaximum}, 46);
        WalkTest();
        Intervals(QStringLiteral("Link outages"), r_.outages, r_.outagesLeftOut,
                  QStringLiteral("The link to the detector was not lost."));
        Intervals(QStringLiteral("Detector warnings"), r_.warnings, r_.warningsLeftOut,
                  QStringLiteral("The detector reported no warning."));
        Signatures();
        return std::move(blocks_);
    }

private:
    void Add(double height, bool keep, std::function<void(double)> draw) {
        blocks_.push_back({height, keep, [draw](double top, double) { draw(top); }});
    }

    void Header() {
        const double w = width_;
        const QString scope = QStringLiteral("Covers %1.").arg(Q(r_.scope));
        const double scopeHeight = pen_.Height(Quiet(9), w, scope);
        Add(16 + scopeHeight + 2, false, [this, w, scope, scopeHeight](double top) {
            pen_.Text({Font(18, true), Black(), Qt::AlignLeft | Qt::AlignVCenter}, 0, top, w * 0.7,
                      9, QStringLiteral("Commissioning report"));
            pen_.Text({Font(10), Black(), Qt::AlignRight | Qt::AlignVCenter}, w * 0.7, top, w * 0.3,
                      9, Q(r_.date));
            pen_.Text(Quiet(9), 0, top + 9.5, w, 5,
                      QStringLiteral("Detector setup console %1").arg(Q(r_.version)));
            pen_.Text(Quiet(9), 0, top + 15, w, scopeHeight + 1, scope);
            pen_.Line(0, top + 16 + scopeHeight + 1, w, top + 16 + scopeHeight + 1, Grey(), 0.3);
        });
    }

    void Section(const QString& title) {
        Add(10, true,
            [this, title](double top) { pen_.Text(Bold(12), 0, top + 3, width_, 6, title); });
    }

    // What a row shows for its value; an empty one shows as such.
    static QString Value(const ReportRow& row) {
        return row.value.empty() ? QStringLiteral("---") : Q(row.value);
    }
    double RowHeight(const ReportRow& row, double valueWidth, double points = 10) {
        return std::max(kRowMm, pen_.Height(Bold(points), valueWidth, Value(row)) + 0.8);
    }
    void DrawRow(const ReportRow& row, double left, double top, double width, double captionMm,
                 double height, double points = 10) {
        pen_.Text(Quiet(points), left, top, captionMm, height, Q(row.caption));
        pen_.Text(Bold(points), left + captionMm, top, width - captionMm, height, Value(row));
    }

    // A caption and its value, wrapped within the page.
    void Row(const ReportRow& row, double captionMm, double points = 10) {
        const double height = RowHeight(row, width_ - captionMm, points);
        Add(height, false, [this, row, captionMm, points, height](double top) {
            DrawRow(row, 0, top, width_, captionMm, height, points);
        });
    }

    // The height of rows one below another in a column `width` wide.
    double RowsHeight(const std::vector<ReportRow>& rows, double width, double captionMm) {
        double height = 0;
        for (const ReportRow& row : rows) height += RowHeight(row, width - captionMm);
        return height;
    }
    void DrawRows(const std::vector<ReportRow>& rows, double left, double width, double captionMm,
                  double top) {
        for (const ReportRow& row : rows) {
            const double height = RowHeight(row, width - captionMm);
            DrawRow(row, left, top, width, captionMm, height);
            top += height;
        }
    }

    void SideBySide(const std::vector<ReportRow>& left, const std::vector<ReportRow>& right,
                    double captionMm) {
        const double half = width_ / 2;
        const double height =
            std::max(RowsHeight(left, half, captionMm), RowsHeight(right, half, captionMm));
        Add(height + 2, false, [this, left, right, captionMm, half](double top) {
            DrawRows(left, 0, half, captionMm, top);
            DrawRows(right, half, half, captionMm, top);
        });
    }

    void Thresholds() {
        Add(kRowMm + 1, false, [this](double top) {
            const double column = width_ / 4;
            for (std::size_t i = 0; i < r_.thresholds.size(); ++i) {
                const double x = column * static_cast<double>(i);
                pen_.Text(Quiet(), x, top, 9, kRowMm, Q(r_.thresholds[i].caption));
                pen_.Text(Bold(), x + 9, top, column - 9, kRowMm, Q(r_.thresholds[i].value));
            }
        });
    }

    void Line(const QString& text, const Style& style) {
        const double height = pen_.Height(style, width_, text) + 1;
        Add(height, false, [this, text, style, height](double top) {
            pen_.Text(style, 0, top, width_, height, text);
        });
    }

    void WalkTest() {
        Section(QStringLiteral("Walk test"));
        if (r_.recordIncomplete)
            Line(QStringLiteral("The site record file is incomplete: it could not be written."),
                 Bold());
        Row({"Verdict:", r_.verdict}, 22);
        if (!r_.walk) {
            Line(QStringLiteral("No walk test of this detector in the site record."), Plain());
            return;
        }
        Row({"Period:", r_.walkPeriod}, 22);
        Row({"Alarms:", r_.alarmCount}, 22);
        // As many columns as the widest time lets stand side by side (times
        // of another day carry their date), at most kAlarmColumns.
        double widest = 0;
        for (const ReportRow& alarm : r_.alarms)
            widest = std::max(widest, pen_.Width(Bold(9), Q(alarm.value)));
        const double numberMm = 9, gapMm = 3;
        const auto columns =
            static_cast<std::size_t>(std::clamp(std::floor(width_ / (numberMm + widest + gapMm)),
                                                1.0, static_cast<double>(kAlarmColumns)));
        const double column = width_ / static_cast<double>(columns);
        double height = 5;
        for (const ReportRow& alarm : r_.alarms)
            height =
                std::max(height, pen_.Height(Bold(9), column - numberMm, Q(alarm.value)) + 0.5);
        for (std::size_t i = 0; i < r_.alarms.size(); i += columns) {
            const std::size_t end = std::min(r_.alarms.size(), i + columns);
            Add(height, false, [this, i, end, column, numberMm, height](double top) {
                for (std::size_t k = i; k < end; ++k) {
                    const double x = column * static_cast<double>(k - i);
                    pen_.Text(Quiet(9), x, top, numberMm, height, Q(r_.alarms[k].caption + "."));
                    pen_.Text(Bold(9), x + numberMm, top, column - numberMm, height,
                              Q(r_.alarms[k].value));
                }
            });
        }
        if (r_.alarmsLeftOut > 0)
            Line(QStringLiteral("... and %1 more, each marked in the plot below.")
                     .arg(r_.alarmsLeftOut),
                 Plain(9));
        Add(3, false, [](double) {});
        blocks_.push_back(PlotBlock(pen_, r_, width_));
    }

    void Intervals(const QString& title, const std::vector<ReportRow>& rows, std::size_t leftOut,
                   const QString& none) {
        Section(title);
        if (rows.empty()) {
            Line(none, Plain());
            return;
        }
        if (leftOut > 0) Line(QStringLiteral("%1 earlier, not listed.").arg(leftOut), Plain(9));
        for (const ReportRow& row : rows) Row(row, 80, 9);
    }

    void Signatures() {
        Section(QStringLiteral("Signatures"));
        Add(30, false, [this](double top) {
            const double half = width_ / 2;
            const char* who[] = {"Installer", "Customer"};
            for (int c = 0; c < 2; ++c) {
                const double x = half * c;
                pen_.Text(Bold(), x, top + 1, half - 8, kRowMm, QString::fromLatin1(who[c]));
                const char* lines[] = {"Name", "Signature", "Date"};
                for (int l = 0; l < 3; ++l) {
                    const double y = top + 13 + 8 * l;
                    pen_.Text(Quiet(9), x, y - 4.5, 20, 4.5, QString::fromLatin1(lines[l]));
                    pen_.Line(x + 20, y, x + half - 8, y, Black(), 0.2);
                }
            }
        });
    }

    Pen& pen_;
    const CommissioningReport& r_;
    double width_;
    std::vector<Block> blocks_;
};

}  // namespace

bool PaintReport(const CommissioningReport& r, QPaintDevice& device,
                 const std::function<bool()>& newPage, QString& error) {
    QPainter painter;
    if (!painter.begin(&device)) {
        error = QStringLiteral("The report could not be drawn.");
        return false;
    }
    Pen pen(painter);
    const double dotsPerMm = device.logicalDpiY() / 25.4;
    const double width = device.width() / dotsPerMm;
    const double height = device.height() / dotsPerMm;
    // Its blocks draw through it: it lives until the last page is drawn.
    ReportBlocks builder(pen, r, width);
    const std::vector<Block> blocks = builder.Build();
    std::vector<ReportBlock> sizes;
    for (const Block& b : blocks) sizes.push_back({b.height, b.keepWithNext, b.minHeight});
    const std::vector<PlacedBlock> placed = PlaceBlocks(sizes, 0, 0, height - kFootMm);
    const int pages = placed.empty() ? 1 : placed.back().page + 1;
    const QString foot =
        QStringLiteral("Detector setup console %1, from its site record").arg(Q(r.version));
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !newPage()) {
            error = QStringLiteral("The report could not be drawn.");
            painter.end();
            return false;
        }
        for (std::size_t i = 0; i < blocks.size(); ++i)
            if (placed[i].page == page) blocks[i].draw(placed[i].top, placed[i].height);
        pen.Text({Font(8), Grey(), Qt::AlignLeft | Qt::AlignBottom}, 0, height - 5, width * 0.7, 5,
                 foot);
        pen.Text({Font(8), Grey(), Qt::AlignRight | Qt::AlignBottom}, width * 0.7, height - 5,
                 width * 0.3, 5, Q(PageNumberText(page, pages)));
    }
    if (!painter.end()) {
        error = QStringLiteral("The report could not be finished.");
        return false;
    }
    return true;
}

QByteArray ReportPdfBytes(const CommissioningReport& r, QString& error) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDotsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Commissioning report"));
        writer.setCreator(QStringLiteral("Detector setup console %1").arg(Q(r.version)));
        if (!PaintReport(
                r, writer, [&writer] { return writer.newPage(); }, error))
            return QByteArray();
    }
    return bytes;
}

}  // namespace quillane
