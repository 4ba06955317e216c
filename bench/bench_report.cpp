// The site record at its largest and the commissioning report read from it:
// the record's two generations filled with the lines of a long walk test
// (a signal line every half second, an alarm every ten seconds), the time a
// line takes to go out, then the time and the peak memory of reading a
// report's values (and the record as CSV) from that record and from two
// hostile ones: a million alarm lines (81 MB) and one line of 200 MB. Each
// reading runs in a child process of its own, beside a child that reads
// nothing (the floor), so that its peak is its own. Prints figures;
// asserts nothing.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "console/record/CommissioningReport.h"
#include "console/record/LocalDateTime.h"
#include "console/record/RecordCsv.h"
#include "console/record/RecordFile.h"
#include "console/record/RecordLine.h"
#include "console/record/RecordReader.h"
#include "console/record/SiteRecord.h"
#include "console/record/VisitReader.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "model/ProfileFile.h"
#include "os/Clock.h"
#include "protocol/DetectorModel.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
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

DetectorModel Model() {
    DetectorModel m;
    m.current[status::kStateWord] = Word(2, 500);
    m.current[3] = Word(3, (10 << 8) | 12);
    m.current[4] = Word(4, (14 << 8) | (2 << 5) | 11);
    m.current[status::kIdentityWord] = Word(6, (9 << 8) | (1 << 6) | (3 << 3) | 2);
    return m;
}

// Both generations full, as a long walk test leaves them.
void FillLargestRecord(const fs::path& folder, const CorrespondenceTables& tables) {
    const std::string path = (folder / "Quillane-site.jsonl").string();
    StepClock clock;
    DetectorModel m = Model();
    std::mt19937 noise(1);
    double appendMs = 0;
    SiteRecord record(clock, tables, path);
    record.DetectorFound(m, "COM5");
    record.PageInView(Page::Setup);
    record.Counting(Page::Setup, SiteRecord::Count::On, 0);
    long long alarms = 0;
    while (!fs::exists(folder / "Quillane-site.1.jsonl") ||
           fs::file_size(path) < static_cast<std::uintmax_t>(RecordFile::kDefaultLimit) - 20000) {
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
    const long long lines = static_cast<long long>(clock.seconds * 2 + clock.seconds / 10);
    std::printf(
        "largest record: %.1f MB in two files, %.1f h of walk test, %lld lines\n",
        static_cast<double>(fs::file_size(path) + fs::file_size(folder / "Quillane-site.1.jsonl")) /
            1e6,
        clock.seconds / 3600, lines);
    std::printf("  %.1f us per signal word taken, %.1f us per line written\n",
                appendMs * 1000 / (clock.seconds * 100), appendMs * 1000 / lines);
}

// A million alarm lines in a walk test that never ends: 81 MB.
void FillAlarms(const fs::path& folder) {
    std::ofstream out(folder / "Quillane-site.jsonl", std::ios::binary);
    out << RecordLine(45000, "detected")
               .Text("port", "COM5")
               .Text("model", "Korvel-TS")
               .Integer("version", 3)
               .Text("unit", "F2")
               .Integer("address", 9)
               .Done();
    out << RecordLine(45000, "counting_on").Text("page", "Setup").Done();
    for (long long i = 1; i <= 1000000; ++i)
        out << RecordLine(45000 + static_cast<double>(i) / 86400000.0, "alarm")
                   .Text("page", "Setup")
                   .Integer("count", i)
                   .Done();
}

// One line of 200 MB.
void FillOneLine(const fs::path& folder) {
    std::ofstream out(folder / "Quillane-site.jsonl", std::ios::binary);
    const std::string piece(1 << 20, 'x');
    out << "{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"detected\",\"port\":\"";
    for (int i = 0; i < 200; ++i) out << piece;
    out << "\"}\n";
}

// What a child process of the benchmark did: its time and its peak memory.
struct ChildFigures {
    double ms = 0;
    long peakKb = 0;
};

ChildFigures InChild(const std::function<void()>& work) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return {};
    // What the parent printed goes out once, not again from the child.
    std::fflush(stdout);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipeEnds[0]);
        const auto start = Steady::now();
        work();
        const double ms = MillisecondsSince(start);
        std::fflush(stdout);
        if (::write(pipeEnds[1], &ms, sizeof ms) != sizeof ms) ::_exit(1);
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    ChildFigures f;
    if (::read(pipeEnds[0], &f.ms, sizeof f.ms) != sizeof f.ms) f.ms = -1;
    ::close(pipeEnds[0]);
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    f.peakKb = usage.ru_maxrss;
    return f;
}

// The snapshot as the console takes it (the newest 4 MB of each generation),
// or each file whole, to show that the reading itself stays small.
RecordSnapshot Snapshot(const fs::path& folder, bool whole) {
    const RecordFile file((folder / "Quillane-site.jsonl").string());
    RecordSnapshot s = file.Snapshot();
    if (whole)
        for (RecordSnapshot::Part& part : s.files) part.from = 0;
    return s;
}

void Measure(const char* name, const fs::path& folder, bool hostile) {
    const ReportScope scope{ReportSpan::Record, 45000, 45001};
    const NumberFormat format;
    std::uint64_t sizes = 0;
    for (const char* f : {"Quillane-site.jsonl", "Quillane-site.1.jsonl"})
        if (fs::exists(folder / f)) sizes += fs::file_size(folder / f);
    for (const bool whole : {false, true}) {
        if (whole && !hostile) continue;  // the console's own record is read whole anyway
        const ChildFigures report = InChild([&] {
            const VisitRecord visit = ReadVisit(Snapshot(folder, whole), scope);
            CommissioningReport r;
            AddVisit(r, visit, scope, format);
            std::printf("  %s%s: %llu lines read, %llu given up, %zu alarms, %zu plot points\n",
                        name, whole ? " (whole file)" : "",
                        static_cast<unsigned long long>(visit.lines),
                        static_cast<unsigned long long>(visit.linesGivenUp),
                        r.walk ? r.walk->alarmDays.size() : 0, r.plot.size());
        });
        std::printf("%s (%.0f MB on disk%s): report values %.0f ms, peak %.1f MB\n", name,
                    static_cast<double>(sizes) / 1e6, whole ? ", read whole" : "", report.ms,
                    report.peakKb / 1024.0);
    }
    const ChildFigures csv = InChild([&] {
        const std::string text = RecordCsv(Snapshot(folder, false), scope);
        std::printf("  %s: CSV of %.1f MB\n", name, static_cast<double>(text.size()) / 1e6);
    });
    std::printf("%s: CSV %.0f ms, peak %.1f MB\n", name, csv.ms, csv.peakKb / 1024.0);
}

// Start-up over a hostile record: the console opens it and appends its first
// line, which looks at the file's last byte to know whether a line was cut.
void MeasureStartUp(const char* name, const fs::path& folder) {
    const ChildFigures start = InChild([&] {
        RecordFile file((folder / "Quillane-site.jsonl").string());
        static_cast<void>(file.Append("{\"event\":\"start\"}\n"));
    });
    std::printf("%s: start-up (open, check the last byte, one line) %.1f ms, peak %.1f MB\n", name,
                start.ms, start.peakKb / 1024.0);
}

fs::path NewFolder(const char* what) {
    const fs::path folder =
        fs::temp_directory_path() /
        ("quillane-bench-report-" + std::string(what) + "-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

int Run() {
    NumberFormat format;
    const fs::path largest = NewFolder("largest");
    CorrespondenceTables tables(format);
    tables.Fill(ProfileFile((largest / "Quillane.ini").string()));
    FillLargestRecord(largest, tables);
    const fs::path alarms = NewFolder("alarms");
    FillAlarms(alarms);
    const fs::path line = NewFolder("line");
    FillOneLine(line);

    std::printf("floor (a child that reads nothing): peak %.1f MB\n",
                InChild([] {}).peakKb / 1024.0);
    Measure("the largest record", largest, false);
    Measure("1 M alarm lines", alarms, true);
    Measure("one 200 MB line", line, true);
    MeasureStartUp("1 M alarm lines", alarms);
    MeasureStartUp("one 200 MB line", line);
    std::error_code ec;
    for (const fs::path& f : {largest, alarms, line}) fs::remove_all(f, ec);
    return 0;
}

}  // namespace
}  // namespace quillane

int main() { return quillane::Run(); }
