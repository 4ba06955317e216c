// The console program with a page brought into view as soon as a detector is
// found, for the line-rate benchmark: it runs as the console does (same window,
// line and clocks) and at the end prints how often the page's value labels
// and its charts were painted. The Settings page is reached as an installer
// reaches it, through the access dialog with the advanced code. Given --paint-only it instead times
// the chart's paint itself: the chart drawn into a picture over and over with a moving signal.
//
//   bench_console_page about|calibration|setup|settings SECONDS
//   bench_console_page --paint-only
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "PaintCounter.h"
#include "console/ConsoleCore.h"
#include "remote/ViewServer.h"
#include "ui/widgets/BarChart.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmPassword.h"

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
    auto* label = window.findChild<QWidget*>(QStringLiteral("lSignal"));
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
            if (k.text) label->setProperty("text", QString::number(1 + (i % 1000) * 0.001, 'f', 3));
            if (k.bar) chart->SetX(QStringLiteral("serTuneUp"), (i % 100) * 0.04);
            QEventLoop wait;
            QTimer::singleShot(7, &wait, &QEventLoop::quit);
            wait.exec();
        }
        std::printf("window redraw, %-16s     %.1f us CPU per redraw (%d chart paints)\n", k.what,
                    (CpuSeconds() - cpu) * 1e6 / kRedraws, chart->PaintCount() - paints);
    }
}

// The page to bring into view, with the charts and the value labels of the
// signal whose paints are counted.
struct PageChoice {
    const char* name;
    void (quillane::TfmMain::*select)();
    std::vector<const char*> charts;
    std::vector<const char*> values;
    bool advanced;  // reached through the access dialog first
};

const PageChoice* ChoiceOf(const char* name) {
    static const std::vector<PageChoice> kPages = {
        {"about", &quillane::TfmMain::actVelmoSelectExecute, {}, {}, false},
        {"calibration",
         &quillane::TfmMain::actTuneUpSelectExecute,
         {"chTuneUp"},
         {"lSignal"},
         false},
        {"setup", &quillane::TfmMain::actSetupSelectExecute, {"chSense"}, {"lSenseSignal"}, false},
        {"settings",
         &quillane::TfmMain::actSetupSelectExecute,
         {"chRangePP", "chRangeMPBP"},
         {"lRangeSignalPlus", "lRangeSignalMinus"},
         true},
    };
    for (const PageChoice& p : kPages)
        if (std::strcmp(p.name, name) == 0) return &p;
    return nullptr;
}

// F10 with the advanced code typed into the dialog and OK clicked.
void EnterAdvancedCode(quillane::TfmMain& window, quillane::TfrmPassword& dialog) {
    QTimer::singleShot(0, &dialog, [&dialog] {
        dialog.findChild<QLineEdit*>(QStringLiteral("ePassword"))
            ->setText(QString::fromLatin1(quillane::TfrmPassword::kAdvancedCode));
        dialog.findChild<QPushButton*>(QStringLiteral("btnOk"))->click();
    });
    window.actEnterPasswordExecute();
}

int Paints(const std::vector<quillane::BarChart*>& charts) {
    int n = 0;
    for (const quillane::BarChart* c : charts) n += c->PaintCount();
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "--paint-only") == 0) {
        TimeWindowRedraws();
        return TimePaints();
    }
    const PageChoice* page = ChoiceOf(argc > 1 ? argv[1] : "");
    if (page == nullptr) {
        std::fprintf(stderr,
                     "usage: bench_console_page about|calibration|setup|settings SECONDS\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;

    quillane::TfmMain window;
    quillane::TfrmPassword password(&window);
    window.SetPasswordDialog(&password);
    window.show();
    // --remote-view=PORT after the seconds: the phone view shared, for
    // line-rate-bench's viewers, its address printed as the console prints it.
    if (argc > 3 && std::strncmp(argv[3], "--remote-view=", 14) == 0) {
        std::string error;
        if (!window.StartRemoteView(std::atoi(argv[3] + 14), error)) {
            std::fprintf(stderr, "bench_console_page: %s\n", error.c_str());
            return 1;
        }
        std::printf("Phone view shared at %s\n", window.RemoteView()->Address("127.0.0.1").c_str());
        std::fflush(stdout);
    }
    std::vector<quillane::BarChart*> charts;
    for (const char* name : page->charts)
        charts.push_back(window.findChild<quillane::BarChart*>(QString::fromLatin1(name)));
    PaintCounter values;
    for (const char* name : page->values)
        window.findChild<QWidget*>(QString::fromLatin1(name))->installEventFilter(&values);
    QTimer watch;
    watch.setInterval(100);
    QObject::connect(&watch, &QTimer::timeout, &window, [&] {
        if (!window.Core().Linked()) return;
        watch.stop();
        if (page->advanced) EnterAdvancedCode(window, password);
        (window.*(page->select))();
    });
    watch.start();
    int paintsAtStart = 0;
    int valuesAtStart = 0;
    QElapsedTimer run;
    QTimer::singleShot(2000, &window, [&] {
        paintsAtStart = Paints(charts);
        valuesAtStart = values.paints;
        run.start();
    });
    QTimer::singleShot((seconds + 2) * 1000, &app, &QCoreApplication::quit);
    const int rc = app.exec();
    const double secs = run.isValid() ? run.nsecsElapsed() / 1e9 : 0;
    const int paints = Paints(charts) - paintsAtStart;
    const int shown = values.paints - valuesAtStart;
    std::printf("%s page chart redraws %d in %.1f s = %.0f a second\n", page->name, paints, secs,
                secs > 0 ? paints / secs : 0.0);
    std::printf("%s page value redraws %d in %.1f s = %.0f a second\n", page->name, shown, secs,
                secs > 0 ? shown / secs : 0.0);
    return rc;
}
