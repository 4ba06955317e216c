// The chart widget's own promises: points found by title, a point off the
// axis not drawn, labels in its own font, and many changes between two frames
// painted once. Where bars and labels fall is the core's (BarGeometry).
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QTest>

#include "ui/widgets/BarChart.h"

namespace quillane::test {
namespace {

BarChart::Series Marker(const char* title, double x, double y = 2) {
    BarChart::Series s;
    s.title = QString::fromLatin1(title);
    s.x = x;
    s.y = y;
    s.colour = Qt::black;
    return s;
}

TEST(BarChart, PointsAreFoundByTitleAndHiddenOffTheAxis) {
    BarChart chart;
    chart.SetLeftRange(0, 2);
    chart.SetBottomAxis(80, 10);
    chart.AddSeries(Marker("serPP", 20));
    chart.AddSeries(Marker("serPPnew", -1));
    chart.AddSeries(Marker("serPlus", 200, 0));
    BarChart::Series inactive = Marker("serSense", 40);
    inactive.active = false;
    chart.AddSeries(inactive);

    EXPECT_TRUE(chart.PointVisible("serPP"));
    EXPECT_FALSE(chart.PointVisible("serPPnew"));
    EXPECT_FALSE(chart.PointVisible("serPlus"));
    EXPECT_FALSE(chart.PointVisible("serSense"));
    chart.SetX("serPPnew", 80);  // the axis end still shows
    EXPECT_TRUE(chart.PointVisible("serPPnew"));
    chart.SetX("serPP", 95);
    EXPECT_FALSE(chart.PointVisible("serPP"));
}

// The plot's place and the marks' faces are kept between paints; a new font
// moves the plot's foot, and the chart then paints as one built in it.
TEST(BarChart, NewFontPaintsAsAChartBuiltInIt) {
    QFont large;
    large.setPixelSize(24);
    BarChart changed;
    BarChart fresh;
    fresh.setFont(large);
    for (BarChart* chart : {&changed, &fresh}) {
        chart->resize(300, 120);
        chart->SetAxisTitle("mV");
        chart->AddSeries(Marker("serLL", 0.5).Mark("LL", Qt::blue));
        chart->show();  // a hidden chart is sent its size again at each picture
        ASSERT_TRUE(QTest::qWaitForWindowExposed(chart));
    }
    const QImage before = changed.grab().toImage();
    changed.setFont(large);
    const QImage expected = fresh.grab().toImage();
    ASSERT_NE(before, expected);
    EXPECT_EQ(changed.grab().toImage(), expected);
}

// Marks away from the repainted part are not drawn; each strip painted alone
// must match the whole, also the strips along a mark's box (edged letters
// reach a pixel past it).
TEST(BarChart, APartPaintedAloneMatchesTheWhole) {
    BarChart chart;
    chart.resize(300, 120);
    chart.AddSeries(Marker("serPL", 0.3).Mark("PL", Qt::white, true).MarkEdge(Qt::black));
    const QImage whole = chart.grab().toImage();
    QRect box;  // the mark's pale box
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x)
            if (whole.pixelColor(x, y) == QColor(255, 255, 225)) box |= QRect(x, y, 1, 1);
    ASSERT_FALSE(box.isEmpty());
    for (const QRect& part : {QRect(0, 60, 300, 20), QRect(box.left() - 1, 0, 1, 120),
                              QRect(box.right() + 1, 0, 1, 120), QRect(0, box.bottom() + 1, 300, 1),
                              QRect(0, box.top(), 300, 1)}) {
        QImage painted(whole.size(), whole.format());
        painted.fill(Qt::magenta);
        chart.render(&painted, part.topLeft(), QRegion(part));
        EXPECT_EQ(painted.copy(part), whole.copy(part)) << part.x() << "," << part.y();
    }
}

TEST(BarChart, ManyChangesBetweenTwoFramesCostOnePaint) {
    BarChart chart;
    chart.resize(577, 217);
    chart.AddSeries(Marker("serMax", 0));
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    QApplication::processEvents();
    const int before = chart.PaintCount();
    for (int i = 0; i < 100; ++i) {
        chart.SetX("serMax", i * 0.01);
        chart.SetBottomAxis(1 + (i % 2), 0.2);
    }
    QApplication::processEvents();
    EXPECT_EQ(chart.PaintCount(), before + 1);
    chart.SetX("serMax", 0.99);  // no change, no paint
    QApplication::processEvents();
    EXPECT_EQ(chart.PaintCount(), before + 1);
}

// Remembers what each paint was asked to cover.
class WatchedChart : public BarChart {
public:
    QRegion painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        painted += event->region();
        BarChart::paintEvent(event);
    }
};

TEST(BarChart, AMovedMarkLeavesNothingOfItselfBehind) {
    WatchedChart chart;
    chart.resize(573, 73);
    chart.SetLeftRange(0, 2);
    chart.SetBottomAxis(80, 10);
    BarChart::Series marked = Marker("serBPnew", 20);
    marked.mark = QStringLiteral("Wide mark");
    chart.AddSeries(marked);
    chart.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
    QApplication::processEvents();
    // Where the mark's pale ground stands before the move.
    const QImage before = chart.grab().toImage();
    QRect mark;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixelColor(x, y) == QColor(255, 255, 225)) mark |= QRect(x, y, 1, 1);
    ASSERT_GT(mark.width(), 20);

    chart.painted = QRegion();
    chart.SetX("serBPnew", 60);
    QApplication::processEvents();
    EXPECT_TRUE((QRegion(mark) - chart.painted).isEmpty()) << mark.x() << '+' << mark.width();
}

// The axis is drawn into a picture of its own; its labels must still be in
// the chart's font, which its layout measures, not in the application's.
TEST(BarChart, TheAxisIsDrawnInTheChartsOwnFont) {
    QFont own = QApplication::font();
    own.setPixelSize(11);
    const auto render = [&own] {
        BarChart chart;
        chart.setFont(own);
        chart.resize(400, 80);
        chart.SetBottomAxis(10, 2);
        chart.SetAxisTitle(QStringLiteral("mV"));
        return chart.grab().toImage();
    };
    const QImage usual = render();
    const QFont application = QApplication::font();
    QFont large = application;
    large.setPixelSize(40);
    QApplication::setFont(large);
    const QImage underLargeFont = render();
    QApplication::setFont(application);
    EXPECT_TRUE(usual == underLargeFont);
}

}  // namespace
}  // namespace quillane::test
