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
#include "console/record/ReportLayout.h"
#include "model/MessageTexts.h"
#include "ui/widgets/ColourKit.h"

namespace quillane {
namespace {

constexpr int kDotsPerInch = 300;
constexpr double kMarginMm = 18;
// Alarms listed by time; more are still marked in the plot.
constexpr int kAlarmRows = 6;
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

// Draws the report top to bottom on one page, in millimetres.
class ReportPainter {
public:
    ReportPainter(QPainter& p, double widthMm) : p_(p), width_(widthMm) {}

    double Mm(double mm) const { return mm * kDotsPerInch / 25.4; }

    void Header(const CommissioningReport& r) {
        p_.setPen(Black());
        p_.setFont(Font(18, true));
        Text(0, 0, width_, 9, Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Commissioning report"));
        p_.setFont(Font(10));
        Text(0, 0, width_, 9, Qt::AlignRight | Qt::AlignVCenter, Q(r.date));
        p_.setPen(Grey());
        p_.setFont(Font(9));
        Text(0, 9, width_, 5, Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("Detector setup console %1").arg(Q(r.version)));
        y_ = 16;
        Rule();
    }

    void Section(const QString& title) {
        y_ += 3;
        p_.setPen(Black());
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
            p_.setPen(Grey());
            p_.setFont(Font(points));
            Text(x, y, captionMm, 5, Qt::AlignLeft | Qt::AlignVCenter, Q(rows[i].caption));
            p_.setPen(Black());
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
        p_.setPen(Black());
        p_.setFont(Font(10, bold));
        Text(0, y_, width_, 5, Qt::AlignLeft | Qt::AlignVCenter, text);
        y_ += 5.5;
    }

    // A note in small print, wrapped at the page's width.
    void SmallPrint(const QString& text) {
        p_.setPen(Grey());
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
        p_.setPen(Grey());
        p_.setFont(Font(8));
        Text(0, pageHeightMm - 5, width_, 5, Qt::AlignLeft | Qt::AlignVCenter, text);
    }

    void Space(double mm) { y_ += mm; }

private:
    void Text(double x, double y, double w, double h, int flags, const QString& text) {
        p_.drawText(QRectF(Mm(x), Mm(y), Mm(w), Mm(h)), flags, text);
    }
    void Rule() {
        p_.setPen(QPen(Grey(), Mm(0.3)));
        p_.drawLine(QPointF(0, Mm(y_)), QPointF(Mm(width_), Mm(y_)));
        y_ += 1;
    }

    QPainter& p_;
    double width_;
    double y_ = 0;
};

// The plot's frame (ReportLayout) in the painter's dots.
QRectF Area(const PlotFrame& f, const ReportPainter& rp) {
    return QRectF(rp.Mm(f.left), rp.Mm(f.top), rp.Mm(f.width), rp.Mm(f.height));
}

QPointF At(const PlotFrame& f, double seconds, double percent, const ReportPainter& rp) {
    return QPointF(rp.Mm(f.X(seconds)), rp.Mm(f.Y(percent)));
}

void DrawGrid(QPainter& p, const PlotFrame& f, const ReportPainter& rp) {
    p.setFont(Font(7.5));
    const QRectF area = Area(f, rp);
    const double labelW = rp.Mm(12), labelH = rp.Mm(4);
    for (const double v : AxisTicks(f.deviation)) {
        const double y = rp.Mm(f.Y(v));
        const bool zero = std::abs(v) < f.deviation.step / 2;
        p.setPen(QPen(zero ? Black() : ToQColor(colour::kGridGrey), rp.Mm(zero ? 0.3 : 0.15)));
        p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
        p.setPen(Black());
        const long long whole = std::llround(v);
        const QString label = whole > 0 ? QStringLiteral("+%1").arg(whole) : QString::number(whole);
        p.drawText(QRectF(area.left() - labelW - rp.Mm(1.5), y - labelH / 2, labelW, labelH),
                   Qt::AlignRight | Qt::AlignVCenter, label);
    }
    for (const double t : AxisTicks(f.time)) {
        const double x = rp.Mm(f.X(t));
        p.setPen(QPen(ToQColor(colour::kGridGrey), rp.Mm(0.15)));
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(Black());
        p.drawText(QRectF(x - labelW / 2, area.bottom() + rp.Mm(1), labelW, labelH),
                   Qt::AlignHCenter | Qt::AlignTop, Q(DurationText(t)));
    }
    p.setPen(QPen(Black(), rp.Mm(0.25)));
    p.setBrush(Qt::NoBrush);
    p.drawRect(area);
}

// The walk test's signal as a band from the lowest to the highest deviation
// of each point, broken where the walk test paused.
void DrawSignal(QPainter& p, const PlotFrame& f, const std::vector<WalkTestRecord::Point>& s,
                const ReportPainter& rp) {
    for (const auto& [begin, end] : SignalBands(s)) {
        QPainterPath band;
        band.moveTo(At(f, s[begin].seconds, s[begin].high, rp));
        for (std::size_t i = begin; i < end; ++i) {
            band.lineTo(At(f, s[i].seconds, s[i].high, rp));
            band.lineTo(At(f, s[i].seconds + s[i].width, s[i].high, rp));
        }
        for (std::size_t i = end; i-- > begin;) {
            band.lineTo(At(f, s[i].seconds + s[i].width, s[i].low, rp));
            band.lineTo(At(f, s[i].seconds, s[i].low, rp));
        }
        band.closeSubpath();
        p.setPen(QPen(ToQColor(colour::kBandEdge), rp.Mm(0.2)));
        p.setBrush(ToQColor(colour::kBandGrey));
        p.drawPath(band);
    }
}

// One threshold as a step line through its value at each point.
void DrawThreshold(QPainter& p, const PlotFrame& f, const std::vector<WalkTestRecord::Point>& s,
                   double (*valueOf)(const WalkTestRecord::Point&), const QColor& colour,
                   const ReportPainter& rp) {
    QPainterPath line;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t0 = i == 0 ? f.time.low : s[i].seconds;
        const double t1 = i + 1 < s.size() ? s[i + 1].seconds : f.time.high;
        if (i == 0)
            line.moveTo(At(f, t0, valueOf(s[i]), rp));
        else
            line.lineTo(At(f, t0, valueOf(s[i]), rp));
        line.lineTo(At(f, t1, valueOf(s[i]), rp));
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
    std::vector<double> xs;
    for (const double days : walk.alarmDays) xs.push_back(f.X((days - walk.startDays) * 86400.0));
    const std::vector<int> levels = AlarmMarkLevels(xs, 5.4);
    for (std::size_t i = 0; i < xs.size(); ++i) {
        const double x = rp.Mm(xs[i]);
        QPen pen(red, rp.Mm(0.35));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.drawLine(QPointF(x, rp.Mm(f.top)), QPointF(x, rp.Mm(f.Bottom())));
        if (levels[i] < 0) continue;
        const QRectF mark(x - rp.Mm(2.5), rp.Mm(f.top - 4.5 - 4.3 * levels[i]), rp.Mm(5),
                          rp.Mm(3.8));
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawRoundedRect(mark, rp.Mm(0.8), rp.Mm(0.8));
        p.setPen(ToQColor(colour::kWhite));
        p.drawText(mark, Qt::AlignCenter, QString::number(i + 1));
    }
}

void ReportPainter::Plot(const CommissioningReport& r, double pageHeightMm) {
    p_.setPen(Black());
    p_.setFont(Font(9));
    Text(0, y_, width_, 5, Qt::AlignLeft | Qt::AlignVCenter,
         QStringLiteral("Signal against the thresholds: deviation from the average level, %"));
    y_ += 15;  // and room for the alarm numbers above the plot
    const PlotFrame f = PlaceReportPlot(y_, width_, pageHeightMm, r.timeAxis, r.deviationAxis);
    DrawGrid(p_, f, *this);
    p_.save();
    p_.setClipRect(Area(f, *this));
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
        const std::vector<double> ys =
            ThresholdNameYs({f.Y(last.pl), f.Y(-last.ll), f.Y(-last.hl)}, f.top, f.Bottom(), 3.2);
        const struct {
            const char* name;
            QColor colour;
        } names[] = {{"PL", pl}, {"LL", ll}, {"HL", hl}};
        for (std::size_t i = 0; i < ys.size(); ++i) {
            p_.setPen(names[i].colour);
            Text(f.Right() + 1, ys[i] - 2, 8, 4, Qt::AlignLeft | Qt::AlignVCenter,
                 QString::fromLatin1(names[i].name));
        }
    }
    y_ += f.height + 6;
    p_.setPen(Black());
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
