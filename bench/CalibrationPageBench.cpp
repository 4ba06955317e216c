// The console program with the Calibration page brought into view as soon as a
// detector is found, for the line-rate benchmark: it runs as the console does
// (same window, line and clocks) and at the end prints how often the chart was
// painted. Given --paint-only it instead times the chart's paint itself: the
// chart drawn into a picture over and over with a moving signal.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "console/ConsoleCore.h"
#include "ui/widgets/BarChart.h"
#include "ui/window/TfmMain.h"

namespace {

int TimePaints() {
    quillane::BarChart chart;
    chart.resize(577, 217);
    quillane::BarChart::Series bar;
    bar.title = QStringLiteral("serTuneUp");
    bar.kind = quillane::BarChart::Kind::HorizontalBar;
    bar.widthPercent = 100;
    bar.colour = Qt::green;
    chart.AddSeries(bar);
    quillane::BarChart::Series max;
    max.title = QStringLiteral("serMax");
    max.y = 1;
    max.colour = Qt::black;
    chart.AddSeries(max);
    chart.SetBottomAxis(5, 1);
    QPixmap target(chart.size());
    constexpr int kPaints = 2000;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kPaints; ++i) {
        chart.SetX(QStringLiteral("serTuneUp"), (i % 100) * 0.04);
        chart.SetX(QStringLiteral("serMax"), 4.2);
        chart.render(&target);
    }
    std::printf("chart paint time                     %.1f us per redraw (%d redraws)\n",
                clock.nsecsElapsed() / 1000.0 / kPaints, kPaints);
    return 0;
}

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// The whole redraw as the window does it: a new signal text and bar, then the
// event loop paints and flushes what changed. Counted in CPU time, since the
// platform paces window updates and the loop waits for each.
void TimeWindowRedraws() {
    quillane::TfmMain window;
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    QApplication::processEvents();
    window.actTuneUpSelectExecute();  // after the first tick, which brings About
    auto* chart = window.findChild<quillane::BarChart*>(QStringLiteral("chTuneUp"));
    auto* label = window.findChild<QLabel*>(QStringLiteral("lSignal"));
    chart->SetBottomAxis(5, 1);
    QApplication::processEvents();
    constexpr int kRedraws = 300;
    const struct {
        const char* what;
        bool text, bar;
    } kinds[] = {{"label and chart", true, true},
                 {"label only", true, false},
                 {"chart only", false, true},
                 {"nothing", false, false}};
    for (const auto& k : kinds) {
        const int paints = chart->PaintCount();
        const double cpu = CpuSeconds();
        for (int i = 0; i < kRedraws; ++i) {
            if (k.text) label->setText(QString::number(1 + (i % 1000) * 0.001, 'f', 3));
            if (k.bar) chart->SetX(QStringLiteral("serTuneUp"), (i % 100) * 0.04);
            QEventLoop wait;
            QTimer::singleShot(7, &wait, &QEventLoop::quit);
            wait.exec();
        }
        std::printf("window redraw, %-16s     %.1f us CPU per redraw (%d chart paints)\n", k.what,
                    (CpuSeconds() - cpu) * 1e6 / kRedraws, chart->PaintCount() - paints);
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--paint-only") == 0) {
        TimeWindowRedraws();
        return TimePaints();
    }
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 30;

    quillane::TfmMain window;
    window.show();
    QTimer watch;
    watch.setInterval(100);
    bool selected = false;
    QObject::connect(&watch, &QTimer::timeout, &window, [&] {
        if (!selected && window.Core().Linked()) {
            window.actTuneUpSelectExecute();
            selected = true;
        }
    });
    watch.start();
    int paintsAtStart = 0;
    auto* chart = window.findChild<quillane::BarChart*>(QStringLiteral("chTuneUp"));
    QElapsedTimer run;
    QTimer::singleShot(2000, &window, [&] {
        paintsAtStart = chart->PaintCount();
        run.start();
    });
    QTimer::singleShot((seconds + 2) * 1000, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    const double secs = run.isValid() ? run.nsecsElapsed() / 1e9 : 0;
    std::printf("calibration page chart redraws       %d in %.1f s = %.0f a second\n",
                chart->PaintCount() - paintsAtStart, secs,
                secs > 0 ? (chart->PaintCount() - paintsAtStart) / secs : 0.0);
    return rc;
}
