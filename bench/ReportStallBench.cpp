// How long the window's event loop stands still while Ctrl+P writes a
// commissioning report from a large site record: the console's own window on
// a detector in memory that streams 400 frames a second in real time, and a
// 1 ms timer beside it that notes the longest gap between two of its ticks,
// from the key to the report written (the dialog answered at once). The same
// timer over the same time without a report is the floor. Two records: the
// largest the console keeps (both generations full, 8 MB) and one of 50 MB
// that could not be set aside (a folder at the older generation's name).
// Prints figures; asserts nothing.
//
//   bench_report_stall
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "console/ConsoleCore.h"
#include "console/record/RecordFile.h"
#include "console/record/RecordLine.h"
#include "link/ByteLink.h"
#include "link/PortDirectory.h"
#include "os/SystemClock.h"
#include "protocol/FrameCodec.h"
#include "ui/window/ReportWriter.h"
#include "ui/window/TfmMain.h"
#include "ui/window/TfrmReport.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

std::uint16_t Word(unsigned code, unsigned fields) {
    return static_cast<std::uint16_t>((code << 13) | fields);
}

// A detector in memory: a full set, then signal words, 400 frames a second
// as the time goes, whatever the console reads.
class StreamingLine : public ByteLink {
public:
    bool Open(int, int) override {
        open_ = true;
        start_ = Steady::now();
        sent_ = 0;
        return true;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    int Read(std::uint8_t* buffer, int maxBytes) override {
        if (!open_) return 0;
        const double seconds = std::chrono::duration<double>(Steady::now() - start_).count();
        const auto due = static_cast<long long>(seconds * 400);
        int n = 0;
        while (sent_ < due && n + 4 <= maxBytes) {
            const frame::Frame f = frame::IncomingFrame(NextWord());
            std::copy(f.begin(), f.end(), buffer + n);
            n += 4;
            ++sent_;
        }
        return n;
    }
    int Write(const std::uint8_t*, int count) override { return open_ ? count : 0; }

private:
    std::uint16_t NextWord() {
        // A full set every 40 frames keeps the detector's identity fresh.
        const long long slot = sent_ % 40;
        switch (slot) {
            case 0:
                return Word(2, 500);
            case 1:
                return Word(3, (10 << 8) | 12);
            case 2:
                return Word(4, (14 << 8) | (2 << 5) | 11);
            case 3:
                return Word(5, 0);
            case 4:
                return Word(6, (9 << 8) | (1 << 6) | (3 << 3) | 2);
            case 5:
                return Word(7, 800);
            default:
                return Word(1, 480 + static_cast<unsigned>(sent_ % 40));
        }
    }

    bool open_ = false;
    Steady::time_point start_;
    long long sent_ = 0;
};

class OnePort : public PortDirectory {
public:
    std::vector<PortEntry> EnumerateComPorts() override {
        PortEntry e;
        e.number = 5;
        e.available = true;
        e.device = "memory";
        return {e};
    }
};

// The longest gap between the ticks of a 1 ms timer while `until` is false.
double LongestGapMs(const std::function<bool()>& until, const std::function<void()>& start) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed(), longest = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start(1);
    if (start) QTimer::singleShot(0, start);
    while (!until()) QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return static_cast<double>(longest) / 1e6;
}

// The lines of a walk test, half a second apart from `fromDays`, with an
// alarm every tenth second, until the file holds `bytes`.
void FillWalkTest(const fs::path& file, double fromDays, std::uintmax_t bytes) {
    std::mt19937 noise(1);
    std::ofstream out(file, std::ios::binary);
    std::uintmax_t size = 0;
    for (long long i = 0; size < bytes; ++i) {
        const double at = fromDays + static_cast<double>(i) * 0.5 / 86400;
        const std::string line =
            i % 20 == 19 ? RecordLine(at, "alarm").Text("page", "Setup").Integer("count", i).Done()
                         : RecordLine(at, "signal")
                               .Text("page", "Setup")
                               .Number("seconds", 0.498, 3)
                               .Number("low", -1.0 * (noise() % 30), 1)
                               .Number("high", 1.0 * (noise() % 90), 1)
                               .Number("pl", 21, 1)
                               .Number("ll", 23, 1)
                               .Number("hl", 33, 1)
                               .Done();
        out << line;
        size += line.size();
    }
}

// Both generations full, as the console leaves them.
void FillLargest(const fs::path& folder) {
    const auto full = static_cast<std::uintmax_t>(RecordFile::kDefaultLimit) - 300;
    FillWalkTest(folder / "Quillane-site.1.jsonl", 45000, full);
    FillWalkTest(folder / "Quillane-site.jsonl", 45000.2, full);
}

void FillFifty(const fs::path& folder) {
    FillWalkTest(folder / "Quillane-site.jsonl", 45000, 50'000'000);
    fs::create_directory(folder / "Quillane-site.1.jsonl");  // it cannot go aside
}

// A message box (the record that cannot be set aside says so) is answered,
// so that nothing waits for a person.
void AnswerBoxes() {
    auto* answer = new QTimer(qApp);
    QObject::connect(answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    answer->start(50);
}

void Measure(const char* name, const std::function<void(const fs::path&)>& fill) {
    const fs::path folder = fs::temp_directory_path() /
                            ("quillane-bench-stall-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    fill(folder);
    QDir::setCurrent(QString::fromStdString(folder.string()));
    {
        StreamingLine line;
        OnePort ports;
        SystemClock clock;
        TfmMain window(line, ports, clock);
        window.show();
        QElapsedTimer waited;
        waited.start();
        while (!window.Core().Linked() && waited.elapsed() < 10000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        QElapsedTimer idle;
        idle.start();
        const double floorMs = LongestGapMs([&idle] { return idle.elapsed() > 3000; }, nullptr);

        auto* writer = window.findChild<ReportWriter*>();
        bool done = false;
        QString error;
        QObject::connect(writer, &ReportWriter::Finished, &window,
                         [&done, &error](const ReportWriter::Result& r) {
                             done = true;
                             error = r.error;
                         });
        QElapsedTimer took;
        const double stallMs = LongestGapMs(
            [&done] { return done; },
            [&window, &took] {
                QTimer::singleShot(0, [] {
                    if (auto* d = qobject_cast<TfrmReport*>(QApplication::activeModalWidget()))
                        d->findChild<QPushButton*>(QStringLiteral("btnReportWrite"))->click();
                });
                took.start();
                window.actReportExecute();
            });
        std::printf(
            "%s: the report took %.0f ms; the event loop stood still %.1f ms at most "
            "(floor %.1f ms without a report); link %s%s%s\n",
            name, static_cast<double>(took.elapsed()), stallMs, floorMs,
            window.Core().Linked() ? "kept" : "LOST", error.isEmpty() ? "" : "; ",
            error.toStdString().c_str());
        std::fflush(stdout);
    }
    QDir::setCurrent(QDir::tempPath());
    std::error_code ec;
    fs::remove_all(folder, ec);
}

}  // namespace
}  // namespace quillane

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quillane::AnswerBoxes();
    quillane::Measure("largest record (8 MB)", quillane::FillLargest);
    quillane::Measure("50 MB record", quillane::FillFifty);
    return 0;
}
