// The site record read back for a report from any bytes in its files and in
// memory (lines cut short, lines far too long, broken objects, times out of
// order, numbers past any sane value, unknown events, several detectors):
// the reader hands over exactly the whole lines of sane length, in order,
// with a bounded heap whatever the file; the report's content agrees with
// what was read (its alarm count with the alarms listed, its lists with
// what they leave out); every plot value and axis is finite and in order;
// every mark, band and name the plot's layout places lies within the plot
// and the page; the blocks flow within the page; the CSV has one row of the
// same columns for each line the report took, and no cell a spreadsheet
// would take for a formula.
//
// Input: the span (a byte), the record's limit (two bytes), which parsed
// line's time the visit began at (a byte), the hours from it to the report
// (a byte), then the older generation, the current file and the lines held
// in memory, separated by a 0 byte. In the text, 1 n c stands for the byte c
// (n + 1) * 512 times, so that a short input makes a line past any bound
// (up to half a megabyte of text in all).
#include <sanitizer/allocator_interface.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "console/record/CommissioningReport.h"
#include "console/record/RecordCsv.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordFile.h"
#include "console/record/RecordReader.h"
#include "console/record/ReportLayout.h"
#include "console/record/VisitReader.h"
#include "model/NumberFormat.h"

namespace quillane {
namespace {

using fuzz::Check;
using fuzz::Input;
namespace fs = std::filesystem;

// ---- the heap while the record is read ----

std::atomic<bool> counting{false};
std::atomic<long long> live{0}, peak{0};

void OnMalloc(const volatile void*, std::size_t size) {
    if (!counting) return;
    const long long now = live += static_cast<long long>(size);
    long long high = peak;
    while (now > high && !peak.compare_exchange_weak(high, now)) {
    }
}

void OnFree(const volatile void* p) {
    if (counting && p) live -= static_cast<long long>(__sanitizer_get_allocated_size(p));
}

// The most the reader may hold: a piece of the file and a line growing to
// its bound (while a string grows it holds its old text and room for twice
// that), and some change.
constexpr long long kReaderHeap = 64 * 1024 + 3 * kLongestRecordLine + 4096;

// ---- the input ----

// Enough for a few lines past the bound and many pieces of the file; more
// only slows each run down.
constexpr std::size_t kMostExpanded = 512 * 1024;

std::string Expanded(std::string_view raw) {
    std::string text;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\x01' && i + 2 < raw.size() && text.size() < kMostExpanded) {
            const auto n = static_cast<unsigned char>(raw[i + 1]);
            text.append((n + 1u) * 512u, raw[i + 2]);
            i += 2;
        } else {
            text.push_back(raw[i]);
        }
    }
    return text;
}

// What the reader must hand over of one text: its lines without their line
// feed, the first passed over when the text starts inside one, a last one
// without its line feed only when not empty, those past the bound counted
// instead.
struct Expected {
    std::vector<std::string_view> lines;
    std::uint64_t givenUp = 0;
};

void Expect(std::string_view text, bool skipFirst, Expected& e) {
    std::size_t start = 0;
    for (bool first = true; start <= text.size(); first = false) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!(first && skipFirst) && !(last && line.empty())) {
            if (line.size() > kLongestRecordLine)
                ++e.givenUp;
            else
                e.lines.push_back(line);
        }
        start = end + 1;
    }
}

// A folder of the run's own, removed at its end: never freed, so that it
// outlives whatever is torn down before the removal.
const std::string& Folder() {
    static const std::string* folder = [] {
        auto* name = new std::string((fs::temp_directory_path() / "fuzz-record-XXXXXX").string());
        Check(::mkdtemp(name->data()) != nullptr);
        return name;
    }();
    static const int removed = std::atexit([] { fs::remove_all(*folder); });
    (void)removed;
    return *folder;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    Check(static_cast<bool>(out));
}

// ---- what the report shows ----

bool Finite(const WalkTestRecord::Point& p) {
    return std::isfinite(p.seconds) && std::isfinite(p.width) && std::isfinite(p.low) &&
           std::isfinite(p.high) && std::isfinite(p.pl) && std::isfinite(p.ll) &&
           std::isfinite(p.hl);
}

void CheckAxis(const PlotAxis& a) {
    Check(std::isfinite(a.low) && std::isfinite(a.high) && std::isfinite(a.step));
    Check(a.low < a.high && a.step > 0);
    const std::vector<double> ticks = AxisTicks(a);
    Check(ticks.size() >= 2 && ticks.size() <= 12);
    Check(ticks.front() == a.low && std::is_sorted(ticks.begin(), ticks.end()));
    Check(std::fabs(ticks.back() - a.high) <= a.step / 2);
}

// "m:ss" or "h:mm:ss", never a sign.
bool IsDuration(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789:") == std::string::npos &&
           text.find(':') != std::string::npos;
}

// The page's printable area (A4 within its margins) and the plot's place.
constexpr double kPageWidth = 174, kPageBottom = 253, kEps = 1e-9;

bool Within(double v, double low, double high) { return v >= low - kEps && v <= high + kEps; }

void CheckPlot(const CommissioningReport& r, double height) {
    const double top = 16;
    const PlotFrame f = PlaceReportPlot(top, kPageWidth, r.timeAxis, r.deviationAxis, height);
    Check(f.left >= 0 && f.Right() <= kPageWidth && f.width > 0);
    Check(f.height >= kPlotMinHeightMm && f.height <= kPlotHeightMm);
    for (const double t : AxisTicks(f.time)) Check(Within(f.X(t), f.left, f.Right()));
    for (const double v : AxisTicks(f.deviation)) Check(Within(f.Y(v), f.top, f.Bottom()));
    for (const auto& outline : SignalBandOutlines(f, r.plot, r.plotOutages)) {
        Check(!outline.empty());
        for (const MmPoint& m : outline)
            Check(Within(m.x, f.left, f.Right()) && Within(m.y, f.top, f.Bottom()));
    }
    for (const auto& [x0, x1] : OutageSpans(f, r.plotOutages))
        Check(x0 < x1 && Within(x0, f.left, f.Right()) && Within(x1, f.left, f.Right()));
    // The alarms' lines and their numbers, 5 mm wide, on two levels above.
    const std::vector<double> xs = AlarmMarkXs(f, *r.walk);
    Check(xs.size() == r.walk->alarmDays.size());
    const std::vector<int> levels = AlarmMarkLevels(xs, 5.4);
    Check(levels.size() == xs.size());
    for (std::size_t i = 0; i < xs.size(); ++i) {
        Check(Within(xs[i], f.left, f.Right()));
        Check(xs[i] - 2.5 >= 0 && xs[i] + 2.5 <= kPageWidth);
        Check(levels[i] >= -1 && levels[i] <= 1);
    }
    // The thresholds' names, 8 mm wide and 4 high, at the right of the frame.
    if (!r.plot.empty()) {
        const auto& last = r.plot.back();
        const std::vector<double> ys =
            ThresholdNameYs({f.Y(last.pl), f.Y(-last.ll), f.Y(-last.hl)}, f.top, f.Bottom(), 3.2);
        Check(ys.size() == 3);
        for (const double y : ys) Check(Within(y, f.top, f.Bottom()));
        Check(f.Right() + 1 + 8 <= kPageWidth);
    }
}

// Blocks of the report as its pages hold them: a header, headings kept with
// what follows, rows, the alarms' rows and the plot, the intervals' rows.
void CheckPages(const CommissioningReport& r) {
    std::vector<ReportBlock> blocks = {{30, false, 0}, {10, true, 0}};
    for (std::size_t i = 0; i < r.alarms.size(); i += 4) blocks.push_back({5.5, false, 0});
    if (r.walk) blocks.push_back({50 + kPlotHeightMm, false, 50 + kPlotMinHeightMm});
    for (const auto* rows : {&r.outages, &r.warnings}) {
        blocks.push_back({10, true, 0});
        for (std::size_t i = 0; i < rows->size(); ++i)
            blocks.push_back(
                {5.5 + static_cast<double>(rows->at(i).value.size() % 300) / 10, false, 0});
    }
    const std::vector<PlacedBlock> placed = PlaceBlocks(blocks, 0, 0, kPageBottom);
    Check(placed.size() == blocks.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const PlacedBlock& p = placed[i];
        Check(p.top >= 0 && p.top + p.height <= kPageBottom + kEps);
        const double least = blocks[i].minHeight > 0 ? blocks[i].minHeight : blocks[i].height;
        Check(p.height >= least - kEps && p.height <= blocks[i].height + kEps);
        if (i > 0) Check(p.page == placed[i - 1].page || p.page == placed[i - 1].page + 1);
    }
}

void CheckReport(const VisitRecord& visit, const ReportScope& scope) {
    CommissioningReport r;
    AddVisit(r, visit, scope, NumberFormat('.'));
    Check(r.outages.size() + r.outagesLeftOut == visit.outages.size());
    Check(r.warnings.size() + r.warningsLeftOut == visit.warnings.size());
    Check(r.outages.size() <= kIntervalRows && r.warnings.size() <= kIntervalRows);
    Check(r.walk.has_value() == visit.walk.has_value());
    CheckPages(r);
    if (!r.walk) {
        Check(r.alarms.empty() && r.plot.empty());
        return;
    }
    const WalkTestRecord& walk = *r.walk;
    Check(r.alarmCount == std::to_string(walk.alarmDays.size()));
    Check(r.alarms.size() + r.alarmsLeftOut == walk.alarmDays.size());
    Check(r.alarms.size() <= kAlarmRows);
    for (std::size_t i = 0; i < r.alarms.size(); ++i)
        Check(r.alarms[i].caption == std::to_string(i + 1));
    Check(IsDuration(DurationText((walk.endDays - walk.startDays) * 86400)));
    for (const double at : walk.alarmDays)
        Check(IsDuration(DurationText((at - walk.startDays) * 86400)));

    Check(r.plot.size() <= walk.signal.size());
    for (const auto& p : r.plot) Check(Finite(p));
    for (const auto& [from, to] : r.plotOutages) Check(std::isfinite(from) && from <= to);
    CheckAxis(r.timeAxis);
    CheckAxis(r.deviationAxis);
    CheckPlot(r, kPlotHeightMm);
    CheckPlot(r, kPlotMinHeightMm);
}

// ---- the CSV ----

// The rows of a CSV text (after its byte-order mark), each as its cells,
// unquoted; false when it is not well formed.
bool CsvRows(std::string_view text, std::vector<std::vector<std::string>>& rows) {
    std::vector<std::string> row(1);
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '"' && row.back().empty()) {
            for (++i;; ++i) {
                if (i >= text.size()) return false;
                if (text[i] == '"' && (i + 1 >= text.size() || text[i + 1] != '"')) break;
                if (text[i] == '"') ++i;
                row.back().push_back(text[i]);
            }
            ++i;
            if (i < text.size() && text[i] != ',' && text[i] != '\r') return false;
            continue;
        }
        if (text[i] == ',') {
            row.emplace_back();
        } else if (text[i] == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') return false;
            rows.push_back(std::move(row));
            row.assign(1, std::string());
            ++i;
        } else if (text[i] == '\n' || text[i] == '"') {
            return false;
        } else {
            row.back().push_back(text[i]);
        }
        ++i;
    }
    return row.size() == 1 && row.back().empty();
}

void CheckCsv(const RecordSnapshot& snapshot, const ReportScope& scope, const VisitRecord& visit) {
    const std::string csv = RecordCsv(snapshot, scope);
    const std::string bom = "\xEF\xBB\xBF";
    Check(csv.compare(0, bom.size(), bom) == 0);
    std::vector<std::vector<std::string>> rows;
    Check(CsvRows(std::string_view(csv).substr(bom.size()), rows));
    Check(!rows.empty());
    // One row for each line the report took, the same columns in each.
    Check(rows.size() - 1 == visit.lines);
    for (const auto& row : rows) {
        Check(row.size() == rows.front().size());
        for (const std::string& cell : row) {
            if (cell.empty() || std::string_view("=+-@").find(cell[0]) == std::string_view::npos)
                continue;
            // A sign may only start a number.
            RecordEntry e;
            e.fields = {{"n", cell}};
            Check(e.Number("n").has_value());
        }
    }
}

}  // namespace
}  // namespace quillane

using namespace quillane;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    const auto span = static_cast<ReportSpan>(in.Next<std::uint8_t>() % 3);
    const unsigned limitCode = in.Next<std::uint16_t>();
    const unsigned visitPick = in.Next<std::uint8_t>();
    const unsigned hours = in.Next<std::uint8_t>();
    const std::string sections[3] = {Expanded(in.Until('\0')), Expanded(in.Until('\0')),
                                     Expanded(in.Rest())};
    const std::string path = Folder() + "/Quillane-site.jsonl";
    const std::int64_t limit = limitCode == 0 ? RecordFile::kDefaultLimit : limitCode * 8;
    const RecordFile file(path, limit);
    fs::remove(file.OlderPath());
    if (!sections[0].empty()) WriteFile(file.OlderPath(), sections[0]);
    WriteFile(path, sections[1]);

    RecordSnapshot snapshot = file.Snapshot();
    Check(snapshot.files.size() == (sections[0].empty() ? 1u : 2u));
    std::string_view rest(sections[2]);
    while (!rest.empty()) {
        const std::size_t feed = rest.find('\n');
        const std::size_t n = feed == std::string_view::npos ? rest.size() : feed + 1;
        snapshot.held.emplace_back(rest.substr(0, n));
        rest.remove_prefix(n);
    }
    snapshot.incomplete = !snapshot.held.empty();

    // What each part must give.
    Expected expected;
    for (int s = 0; s < 2; ++s) {
        if (sections[s].empty()) continue;
        const std::size_t from =
            sections[s].size() > static_cast<std::size_t>(limit) ? sections[s].size() - limit : 0;
        Expect(std::string_view(sections[s]).substr(from),
               from > 0 && sections[s][from - 1] != '\n', expected);
    }
    for (const std::string& held : snapshot.held) Expect(held, false, expected);

    // The reader, with nothing kept by the one it hands lines to.
    std::size_t next = 0;
    bool same = true;
    live = peak = 0;
    counting = true;
    const std::uint64_t givenUp = ReadRecordLines(snapshot, [&](std::string_view line) {
        same = same && next < expected.lines.size() && line == expected.lines[next];
        ++next;
    });
    counting = false;
    Check(same && next == expected.lines.size());
    Check(givenUp == expected.givenUp);
    if (peak > kReaderHeap) std::fprintf(stderr, "the reader held %lld bytes\n", peak.load());
    Check(peak <= kReaderHeap);

    // The lines as the report reads them.
    std::vector<double> times;
    for (const std::string_view line : expected.lines) {
        const auto e = ParseRecordLine(line);
        if (!e) continue;
        Check(std::isfinite(e->days) && !e->event.empty());
        for (const auto& [key, text] : e->fields)
            if (const auto v = e->Number(key)) Check(std::isfinite(*v));
        times.push_back(e->days);
    }
    ReportScope scope;
    scope.span = span;
    scope.visitStartDays = times.empty() ? 0 : times[visitPick % times.size()];
    scope.nowDays = scope.visitStartDays + hours / 24.0;

    const VisitRecord visit = ReadVisit(snapshot, scope);
    Check(visit.linesGivenUp == expected.givenUp);
    Check(visit.incomplete == snapshot.incomplete);
    Check(visit.lines <= times.size());
    Check(visit.outages.size() <= visit.lines && visit.warnings.size() <= visit.lines);
    if (visit.walk) {
        const WalkTestRecord& w = *visit.walk;
        Check(std::isfinite(w.startDays) && std::isfinite(w.endDays) && w.startDays <= w.endDays);
        Check(w.alarmDays.size() + w.signal.size() <= visit.lines);
        for (const double a : w.alarmDays) Check(a <= w.endDays);
    }
    CheckReport(visit, scope);
    CheckCsv(snapshot, scope, visit);
    return 0;
}
