#include "ui/window/ReportPdf.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

#include "console/pages/Colour.h"
#include "console/record/CommissioningReport.h"
#include "model/MessageTexts.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {
namespace {

constexpr int kDotsPerInch = 300;
constexpr double kMarginMm = 18;
// The plot takes what the page leaves, within these.
constexpr double kPlotMinHeightMm = 60;
constexpr double kPlotMaxHeightMm = 120;
// Alarms listed by time; more are still marked in the plot.
constexpr int kAlarmRows = 6;
constexpr int kAlarmColumns = 4;
// Signal lines further apart than this are a pause in the walk test (the page
// was left for a while): the plot does not bridge them.
constexpr double kGapSeconds = 2;

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

// Draws the report top to bottom on one page, in millimetres.
class ReportPainter {
public:
    ReportPainter(QPainter& p, double widthMm) : p_(p), width_(widthMm) {}

    double Mm(double mm) const { return mm * kDotsPerInch / 25.4; }

    void Header(const CommissioningReport& r) {
        p_.setPen(Qt::black);
        p_.setFont(Font(18, true));
        Text(0, 0, width_, 9, Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Commissioning report"));
        p_.setFont(Font(10));
        Text(0, 0, width_, 9, Qt::AlignRight | Qt::AlignVCenter, Q(r.date));
        p_.setPen(Qt::darkGray);
        p_.setFont(Font(9));
        Text(0, 9, width_, 5, Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Detector setup console %1").arg(Q(r.version)));
        y_ = 16;
        Rule();
    }

    void Section(const QString& title) {
        y_ += 3;
        p_.setPen(Qt::black);
        p_.setFont(Font(12, true));
        Text(0, y_, width_, 6, Qt::AlignLeft | Qt::AlignVCenter, title);
        y_ += 7.5;
    }

    // Rows of caption and value, in columns side by side from `leftMm`.
    void Rows(const std::vector<ReportRow>& rows, int perColumn, double columnMm, double captionMm,
              double leftMm = 0, double points = 10) {
        const double top = y_;
        double bottom = y_;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const double x =
                leftMm + columnMm * static_cast<double>(i / static_cast<std::size_t>(perColumn));
            const double y =
                top + 5.5 * static_cast<double>(i % static_cast<std::size_t>(perColumn));
            p_.setPen(Qt::darkGray);
            p_.setFont(Font(points));
            Text(x, y, captionMm, 5, Qt::AlignLeft | Qt::AlignVCenter, Q(rows[i].caption));
            p_.setPen(Qt::black);
            p_.setFont(Font(points, true));
            Text(x + captionMm, y, columnMm - captionMm, 5, Qt::AlignLeft | Qt::AlignVCenter,
                 Q(rows[i].value));
            bottom = std::max(bottom, y + 5.5);
        }
        y_ = bottom;
    }

    // Two blocks of rows, one in each half of the page.
    void SideBySide(const std::vector<ReportRow>& left, const std::vector<ReportRow>& right,
                    double captionMm) {
        const double top = y_;
        Rows(left, static_cast<int>(left.size()), width_ / 2, captionMm);
        const double leftBottom = y_;
        y_ = top;
        Rows(right, static_cast<int>(right.size()), width_ / 2, captionMm, width_ / 2);
        y_ = std::max(y_, leftBottom);
    }

    void Line(const QString& text, bool bold = false) {
        p_.setPen(Qt::black);
        p_.setFont(Font(10, bold));
        Text(0, y_, width_, 5, Qt::AlignLeft | Qt::AlignVCenter, text);
        y_ += 5.5;
    }

    // A note in small print, wrapped at the page's width.
    void SmallPrint(const QString& text) {
        p_.setPen(Qt::darkGray);
        p_.setFont(Font(8));
        Text(0, y_, width_, 8, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
        y_ += 8;
    }

    void Alarms(const CommissioningReport& r) {
        const std::size_t shown =
            std::min<std::size_t>(r.alarms.size(), kAlarmRows * kAlarmColumns);
        std::vector<ReportRow> rows;
        for (std::size_t i = 0; i < shown; ++i)
            rows.push_back({r.alarms[i].caption + ".", r.alarms[i].value});
        Rows(rows, kAlarmRows, width_ / kAlarmColumns, 8, 0, 9);
        if (shown < r.alarms.size())
            Line(QStringLiteral("... and %1 more, each marked in the plot below.")
                     .arg(r.alarms.size() - shown));
    }

    // The plot, as high as the page leaves room for above a footer.
    void Plot(const CommissioningReport& r, double pageHeightMm);

    void Footer(const QString& text, double pageHeightMm) {
        p_.setPen(Qt::darkGray);
        p_.setFont(Font(8));
        Text(0, pageHeightMm - 5, width_, 5, Qt::AlignLeft | Qt::AlignVCenter, text);
    }

    void Space(double mm) { y_ += mm; }

private:
    void Text(double x, double y, double w, double h, int flags, const QString& text) {
        p_.drawText(QRectF(Mm(x), Mm(y), Mm(w), Mm(h)), flags, text);
    }
    void Rule() {
        p_.setPen(QPen(Qt::darkGray, Mm(0.3)));
        p_.drawLine(QPointF(0, Mm(y_)), QPointF(Mm(width_), Mm(y_)));
        y_ += 1;
    }

    QPainter& p_;
    double width_;
    double y_ = 0;
};

// The plot's frame and the mapping of seconds and percent into it.
struct PlotFrame {
    QRectF area;
    PlotAxis time, deviation;

    double X(double seconds) const {
        const double span = time.high - time.low;
        return area.left() + (seconds - time.low) / (span > 0 ? span : 1) * area.width();
    }
    double Y(double percent) const {
        const double span = deviation.high - deviation.low;
        return area.top() + (deviation.high - percent) / (span > 0 ? span : 1) * area.height();
    }
};

void DrawGrid(QPainter& p, const PlotFrame& f, const ReportPainter& rp) {
    p.setFont(Font(7.5));
    const double labelW = rp.Mm(12), labelH = rp.Mm(4);
    for (double v = f.deviation.low; v <= f.deviation.high + f.deviation.step / 2;
         v += f.deviation.step) {
        const double y = f.Y(v);
        p.setPen(QPen(std::abs(v) < f.deviation.step / 2 ? Qt::black : QColor(215, 215, 215),
                      rp.Mm(std::abs(v) < f.deviation.step / 2 ? 0.3 : 0.15)));
        p.drawLine(QPointF(f.area.left(), y), QPointF(f.area.right(), y));
        p.setPen(Qt::black);
        const long long whole = std::llround(v);
        const QString label = whole > 0 ? QStringLiteral("+%1").arg(whole) : QString::number(whole);
        p.drawText(QRectF(f.area.left() - labelW - rp.Mm(1.5), y - labelH / 2, labelW, labelH),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (double t = f.time.low; t <= f.time.high + f.time.step / 2; t += f.time.step) {
        const double x = f.X(t);
        p.setPen(QPen(QColor(215, 215, 215), rp.Mm(0.15)));
        p.drawLine(QPointF(x, f.area.top()), QPointF(x, f.area.bottom()));
        p.setPen(Qt::black);
        p.drawText(QRectF(x - labelW / 2, f.area.bottom() + rp.Mm(1), labelW, labelH),
                   Qt::AlignHCenter | Qt::AlignTop, Q(DurationText(t)));
    }
    p.setPen(QPen(Qt::black, rp.Mm(0.25)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(f.area);
}

// The walk test's signal as a band from the lowest to the highest deviation
// of each point, broken where the walk test paused.
void DrawSignal(QPainter& p, const PlotFrame& f, const std::vector<WalkTestRecord::Point>& s,
                const ReportPainter& rp) {
    std::size_t begin = 0;
    while (begin < s.size()) {
        std::size_t end = begin + 1;
        while (end < s.size() &&
               s[end].seconds - (s[end - 1].seconds + s[end - 1].width) <= kGapSeconds)
            ++end;
        QPainterPath band;
        band.moveTo(f.X(s[begin].seconds), f.Y(s[begin].high));
        for (std::size_t i = begin; i < end; ++i) {
            band.lineTo(f.X(s[i].seconds), f.Y(s[i].high));
            band.lineTo(f.X(s[i].seconds + s[i].width), f.Y(s[i].high));
        }
        for (std::size_t i = end; i-- > begin;) {
            band.lineTo(f.X(s[i].seconds + s[i].width), f.Y(s[i].low));
            band.lineTo(f.X(s[i].seconds), f.Y(s[i].low));
        }
        band.closeSubpath();
        p.setPen(QPen(QColor(40, 40, 40), rp.Mm(0.2)));
        p.setBrush(QColor(90, 90, 90));
        p.drawPath(band);
        begin = end;
    }
}

// One threshold as a step line through its value at each point.
void DrawThreshold(QPainter& p, const PlotFrame& f, const std::vector<WalkTestRecord::Point>& s,
                   double (*valueOf)(const WalkTestRecord::Point&), const QColor& colour,
                   const ReportPainter& rp) {
    QPainterPath line;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto& pt = s[i];
        const double x0 = f.X(i == 0 ? f.time.low : pt.seconds);
        const double x1 = f.X(i + 1 < s.size() ? s[i + 1].seconds : f.time.high);
        const double y = f.Y(valueOf(pt));
        if (i == 0)
            line.moveTo(x0, y);
        else
            line.lineTo(x0, y);
        line.lineTo(x1, y);
    }
    QPen pen(colour, rp.Mm(0.45));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(line);
}

void DrawAlarms(QPainter& p, const PlotFrame& f, const CommissioningReport& r,
                const ReportPainter& rp) {
    const WalkTestRecord& walk = *r.walk;
    const QColor red = ToQColor(colour::kRed);
    p.setFont(Font(7, true));
    // Numbers of alarms close together take turns on two levels; one that
    // finds both taken is left to the line (and the list above).
    const double markWidth = rp.Mm(5.4);
    double levelEnd[2] = {-1e9, -1e9};
    for (std::size_t i = 0; i < walk.alarmDays.size(); ++i) {
        const double x = f.X((walk.alarmDays[i] - walk.startDays) * 86400.0);
        QPen pen(red, rp.Mm(0.35));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawLine(QPointF(x, f.area.top()), QPointF(x, f.area.bottom()));
        const int level = x - markWidth / 2 >= levelEnd[0]   ? 0
                          : x - markWidth / 2 >= levelEnd[1] ? 1
                                                             : -1;
        if (level < 0) continue;
        levelEnd[level] = x + markWidth / 2;
        const QRectF mark(x - rp.Mm(2.5), f.area.top() - rp.Mm(4.5 + 4.3 * level), rp.Mm(5),
                          rp.Mm(3.8));
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawRoundedRect(mark, rp.Mm(0.8), rp.Mm(0.8));
        p.setPen(Qt::white);
        p.drawText(mark, Qt::AlignCenter, QString::number(i + 1));
    }
}

void ReportPainter::Plot(const CommissioningReport& r, double pageHeightMm) {
    p_.setPen(Qt::black);
    p_.setFont(Font(9));
    Text(0, y_, width_, 5, Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Signal against the thresholds: deviation from the average level, %"));
    y_ += 15;  // and room for the alarm numbers above the plot
    // Below it: the time labels, the axis title, the key and the footer.
    const double height = std::clamp(pageHeightMm - y_ - 30, kPlotMinHeightMm, kPlotMaxHeightMm);
    PlotFrame f{QRectF(Mm(13), Mm(y_), Mm(width_ - 13 - 9), Mm(height)), r.timeAxis,
                r.deviationAxis};
    DrawGrid(p_, f, *this);
    p_.save();
    p_.setClipRect(f.area);
    p_.setRenderHint(QPainter::Antialiasing);
    DrawSignal(p_, f, r.plot, *this);
    const QColor pl = ToQColor(colour::kRed), ll = ToQColor(colour::kBlue),
                 hl = ToQColor(colour::kGreen);
    DrawThreshold(
        p_, f, r.plot, [](const WalkTestRecord::Point& pt) { return pt.pl; }, pl, *this);
    DrawThreshold(
        p_, f, r.plot, [](const WalkTestRecord::Point& pt) { return -pt.ll; }, ll, *this);
    DrawThreshold(
        p_, f, r.plot, [](const WalkTestRecord::Point& pt) { return -pt.hl; }, hl, *this);
    p_.restore();
    DrawAlarms(p_, f, r, *this);

    // The thresholds' names at the right, where their lines end.
    if (!r.plot.empty()) {
        const auto& last = r.plot.back();
        p_.setFont(Font(8, true));
        const struct {
            const char* name;
            double value;
            QColor colour;
        } labels[] = {{"PL", last.pl, pl}, {"LL", -last.ll, ll}, {"HL", -last.hl, hl}};
        double previousY = -1e9;
        for (const auto& l : labels) {
            double y = std::clamp(f.Y(l.value), f.area.top(), f.area.bottom());
            // LL and HL of one index may lie close: the second name goes below.
            if (std::abs(y - previousY) < Mm(3.2)) y = previousY + Mm(3.2);
            previousY = y;
            p_.setPen(l.colour);
            p_.drawText(QRectF(f.area.right() + Mm(1), y - Mm(2), Mm(8), Mm(4)),
                        Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(l.name));
        }
    }
    y_ += height + 6;
    p_.setPen(Qt::black);
    p_.setFont(Font(8));
    Text(13, y_ - 1.5, width_ - 22, 4, Qt::AlignHCenter | Qt::AlignVCenter,
         QStringLiteral("time since the start of the walk test, min:s"));
    y_ += 6;
    SmallPrint(QStringLiteral(
        "Grey band: the lowest to the highest signal of each half second. Dashed: the thresholds, "
        "PL above the average level, LL and HL below it. Red: the alarms counted, by number."));
}

}  // namespace

bool WriteReportPdf(const CommissioningReport& r, const QString& path, QString& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(kDotsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("Commissioning report"));
        writer.setCreator(QStringLiteral("Detector setup console %1").arg(Q(r.version)));
        QPainter painter;
        if (!painter.begin(&writer)) {
            error = QStringLiteral("The PDF could not be started.");
            file.cancelWriting();
            return false;
        }
        const double widthMm = 210 - 2 * kMarginMm;
        const double heightMm = 297 - 2 * kMarginMm;
        ReportPainter rp(painter, widthMm);
        rp.Header(r);
        rp.Section(QStringLiteral("Detector"));
        rp.SideBySide(r.identity, r.settings, 30);
        rp.Space(2);
        rp.Section(QStringLiteral("Thresholds in force"));
        rp.Rows(r.thresholds, 1, widthMm / 4, 9);
        rp.Space(1);
        rp.Rows({{"Calibration maximum:", r.calibrationMaximum}}, 1, widthMm, 46);
        rp.Section(QStringLiteral("Walk test"));
        if (r.recordIncomplete)
            rp.Line(QStringLiteral("The site record file is incomplete: it could not be written."),
                    true);
        if (!r.walk) {
            rp.Line(QStringLiteral("No walk test of this detector in the site record."));
            rp.Line(
                QStringLiteral("Switch on \"Save alarms <F6>\" on the Setup or Settings page, "
                               "walk the zone, then press Ctrl+P again."));
        } else {
            rp.Rows({{"Period:", r.walkPeriod}, {"Alarms:", r.alarmCount}}, 2, widthMm, 22);
            rp.Space(2);
            rp.Alarms(r);
            rp.Space(3);
            rp.Plot(r, heightMm);
        }
        rp.Footer(QStringLiteral("From the site record %1 beside the console's settings file.")
                      .arg(QString::fromLatin1(files::kSiteRecordFile)),
                  heightMm);
        if (!painter.end()) {
            error = QStringLiteral("The PDF could not be finished.");
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}

}  // namespace quillane
