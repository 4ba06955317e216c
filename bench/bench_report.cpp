// The site record at its largest and the commissioning report read from it:
// the record's two generations filled with the lines of a long walk test
// (a signal line every half second, an alarm every ten seconds), then the
// time a line takes to go out, and the time Ctrl+P takes to read both files
// back and build the report's values (the PDF is drawn after that). Prints
// figures; asserts nothing.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "console/record/CommissioningReport.h"
#include "console/record/RecordEntry.h"
#include "console/record/SiteRecord.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "os/Clock.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

using Steady = std::chrono::steady_clock;

double MillisecondsSince(Steady::time_point start) {
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Time as the walk test would have it: moved by hand, a word at a time.
class StepClock : public Clock {
public:
    double LocalDays() const override { return 45000 + seconds / 86400; }
    double MonotonicSeconds() const override { return seconds; }
    void SleepMs(int ms) override { seconds += ms / 1000.0; }
    double seconds = 0;
};

std::uint16_t Word(unsigned code, unsigned fields) {
    return static_cast<std::uint16_t>((code << 13) | fields);
}

int Run() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() /
                            ("quillane-bench-report-" + std::to_string(std::random_device{}()));
    fs::create_directories(folder);
    const std::string path = (folder / "Quillane-site.jsonl").string();

    NumberFormat format;
    CorrespondenceTables tables(format);
    tables.Fill(ProfileFile((folder / "Quillane.ini").string()));
    DetectorModel m;
    m.current[status::kStateWord] = Word(2, 500);
    m.current[3] = Word(3, (10 << 8) | 12);
    m.current[4] = Word(4, (14 << 8) | (2 << 5) | 11);
    m.current[status::kIdentityWord] = Word(6, (9 << 8) | (1 << 6) | (3 << 3) | 2);
    StepClock clock;
    std::mt19937 noise(1);
    long long lines = 0;
    double appendMs = 0;
    {
        SiteRecord record(clock, tables, path);
        record.DetectorFound(m, "COM5");
        record.PageInView(Page::Setup);
        record.Counting(Page::Setup, SiteRecord::Count::On, 0);
        long long alarms = 0;
        // Until the first generation is set aside and the second is full
        // again, looked at once a simulated minute.
        while (!fs::exists(folder / "Quillane-site.1.jsonl") ||
               fs::file_size(path) <
                   static_cast<std::uintmax_t>(RecordFile::kDefaultLimit) - 20000) {
            const auto start = Steady::now();
            for (int i = 0; i < 6000; ++i) {
                clock.seconds += 0.01;
                m.current[status::kSignalWord] = Word(1, 480 + noise() % 40);
                record.SignalWord(m);
                if (static_cast<long long>(std::lround(clock.seconds * 100)) % 1000 == 0)
                    record.Counting(Page::Setup, SiteRecord::Count::Alarm, ++alarms);
            }
            appendMs += MillisecondsSince(start);
        }
        lines = static_cast<long long>(clock.seconds * 2 + clock.seconds / 10);
        std::printf("record: %.1f MB in two files, %.1f h of walk test, %lld lines\n",
                    static_cast<double>(fs::file_size(path) +
                                        fs::file_size(folder / "Quillane-site.1.jsonl")) /
                        1e6,
                    clock.seconds / 3600, lines);
        std::printf("  %.1f us per signal word taken, %.1f us per line written\n",
                    appendMs * 1000 / (clock.seconds * 100), appendMs * 1000 / lines);
    }

    RecordFile file(path);
    for (int i = 0; i < 3; ++i) {
        auto start = Steady::now();
        const std::string text = file.ReadBack();
        const double readMs = MillisecondsSince(start);
        start = Steady::now();
        std::vector<RecordEntry> entries = ParseRecord(text);
        const double parseMs = MillisecondsSince(start);
        const std::size_t count = entries.size();
        start = Steady::now();
        const ReportSources sources{m, tables, format, 14.33, 1.5, clock.LocalDays(), "bench"};
        const CommissioningReport r = BuildCommissioningReport(sources, std::move(entries));
        const double buildMs = MillisecondsSince(start);
        std::printf(
            "report %d: read %.1f ms, parse %.1f ms (%zu lines), build %.1f ms "
            "(%zu signal points, %zu plotted, %s alarms)\n",
            i + 1, readMs, parseMs, count, buildMs, r.walk ? r.walk->signal.size() : 0,
            r.plot.size(), r.alarmCount.c_str());
    }
    std::error_code ec;
    fs::remove_all(folder, ec);
    return 0;
}

}  // namespace
}  // namespace quillane

int main() { return quillane::Run(); }
