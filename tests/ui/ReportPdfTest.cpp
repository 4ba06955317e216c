// The commissioning report on its pages: every text within the page's width
// however long the installer's fields, and the page numbers once it runs to
// more than one page. Drawn on a device that keeps what was drawn.
#include <gtest/gtest.h>

#include <QPaintDevice>
#include <QPaintEngine>
#include <QString>
#include <algorithm>
#include <vector>

#include "console/record/CommissioningReport.h"
#include "ui/window/ReportPdf.h"

namespace quillane::test {
namespace {

// The printable area of an A4 page with the report's margins, at 300 dpi.
constexpr int kDpi = 300;
constexpr double kWidthMm = 174, kHeightMm = 261;

struct DrawnText {
    int page = 0;
    double left = 0, right = 0, top = 0, bottom = 0;
    QString text;
};

class TextKeeper : public QPaintEngine {
public:
    TextKeeper() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    // Only the texts are kept; the rest is drawn nowhere.
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawLines(const QLineF*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        const QPointF p = painter()->transform().map(at);
        drawn.push_back({page, p.x(), p.x() + item.width(), p.y() - item.ascent(),
                         p.y() + item.descent(), item.text()});
    }
    Type type() const override { return QPaintEngine::User; }

    int page = 0;
    std::vector<DrawnText> drawn;
};

class Pages : public QPaintDevice {
public:
    QPaintEngine* paintEngine() const override { return &keeper; }
    mutable TextKeeper keeper;

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth:
                return static_cast<int>(kWidthMm / 25.4 * kDpi);
            case PdmHeight:
                return static_cast<int>(kHeightMm / 25.4 * kDpi);
            case PdmWidthMM:
                return static_cast<int>(kWidthMm);
            case PdmHeightMM:
                return static_cast<int>(kHeightMm);
            case PdmDpiX:
            case PdmDpiY:
            case PdmPhysicalDpiX:
            case PdmPhysicalDpiY:
                return kDpi;
            case PdmDepth:
                return 32;
            case PdmNumColors:
                return 1 << 24;
            case PdmDevicePixelRatio:
                return 1;
            case PdmDevicePixelRatioScaled:
                return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }
};

CommissioningReport LongReport() {
    CommissioningReport r;
    r.date = "2023-03-15 10:20";
    r.version = "0.1";
    const std::string word(150, '~');  // one word wider than the page
    const std::string words = "a long site name that goes on and on " + std::string(100, 'x') +
                              " and on past the margin of the page";
    r.form = {{"Site:", words},
              {"Zone / detector:", word},
              {"Customer:", "Acme"},
              {"Installer:", "J. Doe"},
              {"Notes:", words + " " + words}};
    r.verdict = "passed";
    r.scope = "this visit, since 10:00:00";
    r.identity = {{"Detector:", "Korvel-TS"}, {"Version:", "3"}, {"Unit ID:", word}};
    r.settings = {{"Zone length:", "100  m"}, {"Power:", "12.0  V"}};
    r.thresholds = {{"PL:", "21  %"}, {"LL:", "23  %"}, {"HL:", "33  %"}};
    r.calibrationMaximum = "6.608  mV, reached at 10:05:21";
    WalkTestRecord walk;
    walk.page = "Setup";
    walk.startDays = 45000;
    walk.endDays = 45000 + 600 / 86400.0;
    for (int i = 0; i < 200; ++i) {
        walk.alarmDays.push_back(45000 + i * 3 / 86400.0);
        r.alarms.push_back({std::to_string(i + 1), "2023-03-14 10:20:30 (+1:02:03)"});
    }
    r.walk = walk;
    r.walkPeriod = "10:00:00 - 10:10:00 (10:00), Setup page";
    r.alarmCount = "200";
    r.timeAxis = PlotAxis{0, 600, 60};
    r.deviationAxis = PlotAxis{-40, 100, 20};
    r.outages = {{"10:01:00 - 10:01:01 (0:01)", word}};
    r.warnings = {{"10:02:00 - (still at the report)", words}};
    return r;
}

TEST(ReportPdf, NothingIsDrawnPastTheMarginAndLongReportsAreNumbered) {
    Pages pages;
    QString error;
    ASSERT_TRUE(PaintReport(
        LongReport(), pages,
        [&pages] {
            ++pages.keeper.page;
            return true;
        },
        error))
        << error.toStdString();
    const int count = pages.keeper.page + 1;
    ASSERT_GT(count, 1);
    const double width = kWidthMm / 25.4 * kDpi;
    std::vector<bool> numbered(static_cast<std::size_t>(count), false);
    QString all;
    for (const DrawnText& t : pages.keeper.drawn) {
        EXPECT_GE(t.left, -1.0) << t.text.toStdString();
        EXPECT_LE(t.right, width + 1.0) << t.text.toStdString();
        if (t.text == QStringLiteral("Page %1 of %2").arg(t.page + 1).arg(count))
            numbered[static_cast<std::size_t>(t.page)] = true;
        all += t.text;
    }
    EXPECT_EQ(numbered, std::vector<bool>(static_cast<std::size_t>(count), true));
    // No text over another: a time that needs two lines gets a row that high.
    // Windows' offscreen platform hands this device text items placed for
    // another resolution (rows 1.4 mm apart where the pages put them 5.5 mm
    // apart); there the Windows console's own run checks the words of the
    // PDF it writes instead.
#ifndef _WIN32
    const auto& d = pages.keeper.drawn;
    for (std::size_t i = 0; i < d.size(); ++i)
        for (std::size_t j = i + 1; j < d.size(); ++j) {
            const double across = std::min(d[i].right, d[j].right) - std::max(d[i].left, d[j].left);
            const double down = std::min(d[i].bottom, d[j].bottom) - std::max(d[i].top, d[j].top);
            EXPECT_FALSE(d[i].page == d[j].page && across > 1 && down > 1)
                << d[i].text.toStdString() << " (" << d[i].top << " to " << d[i].bottom << ") over "
                << d[j].text.toStdString() << " (" << d[j].top << " to " << d[j].bottom << ")";
        }
#endif
    // The long word is all there, broken where it had to be.
    EXPECT_TRUE(all.contains(QString(40, QLatin1Char('~'))));
    EXPECT_EQ(all.count(QLatin1Char('~')), 150 * 3);
    // What is the installer's own business stays out of the customer's document.
    EXPECT_FALSE(all.contains(QStringLiteral("Ctrl+P")));
    EXPECT_FALSE(all.contains(QStringLiteral("F6")));
}

}  // namespace
}  // namespace quillane::test
