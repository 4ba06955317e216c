// Reading the site record back for a report, on real files: in pieces, with
// memory that does not grow with a hostile file, from files that stay what
// they were when the report began; the record as CSV; and the forms the
// reports remember per site, never written through a link.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "TempDir.h"
#include "console/record/LocalDateTime.h"
#include "console/record/RecordCsv.h"
#include "console/record/RecordEntry.h"
#include "console/record/RecordFile.h"
#include "console/record/RecordLine.h"
#include "console/record/RecordReader.h"
#include "console/record/SiteMemory.h"
#include "console/record/VisitReader.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

constexpr char kName[] = "Quillane-site.jsonl";
constexpr char kOlder[] = "Quillane-site.1.jsonl";

std::vector<std::string> LinesOf(const RecordSnapshot& s, std::uint64_t* givenUp = nullptr) {
    std::vector<std::string> lines;
    const std::uint64_t n =
        ReadRecordLines(s, [&lines](std::string_view l) { lines.emplace_back(l); });
    if (givenUp) *givenUp = n;
    return lines;
}

TEST(RecordReading, LinesComeInPiecesAndTooLongOnesAreGivenUp) {
    const std::string huge(kLongestRecordLine + 1, 'x');
    // Lines that cross the end of a piece read (64 kB), shorter than the limit.
    const std::string first(60000, 'y'), second(10000, 'z');
    const struct {
        const char* name;
        std::string older, current;
        std::int64_t limit;
        std::vector<std::string> lines;
        std::uint64_t givenUp;
    } cases[] = {
        {"both generations, the older first", "a\nb\n", "c\n", 100, {"a", "b", "c"}, 0},
        {"a line across the pieces",
         "",
         first + "\n" + second + "\nb\n",
         1 << 20,
         {first, second, "b"},
         0},
        {"one line too long", "", "a\n" + huge + "\nb\n", 1 << 20, {"a", "b"}, 1},
        {"only a line too long, without its end", "", huge + huge, 1 << 20, {}, 1},
        // The newest `limit` bytes of each: the first whole line of them on.
        {"a file past its bound", "", "0123456789\nab\ncd\n", 7, {"ab", "cd"}, 0},
        {"the bound at a line's start", "", "0123456789\nab\ncd\n", 6, {"ab", "cd"}, 0},
        {"a file cut short", "a\nb", "c\n", 100, {"a", "b", "c"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir d;
        if (!c.older.empty()) d.Write(kOlder, c.older);
        d.Write(kName, c.current);
        const RecordFile file(d.File(kName), c.limit);
        std::uint64_t givenUp = 0;
        EXPECT_EQ(LinesOf(file.Snapshot(), &givenUp), c.lines);
        EXPECT_EQ(givenUp, c.givenUp);
    }
}

// A report reads on while the console appends and sets the file aside: it
// reads the record as it was when it began, and the lines held in memory
// after it.
TEST(RecordReading, ASnapshotStaysWhatItWas) {
    test::TempDir d;
    d.Write(kName, "a\nb\n");
    RecordFile file(d.File(kName), 5);
    const RecordSnapshot before = file.Snapshot();
    ASSERT_TRUE(file.Append("c\n"));  // the file goes aside as the older generation
    ASSERT_TRUE(fs::exists(d.File(kOlder)));
    ASSERT_TRUE(file.Append("d\n"));  // and the new one grows
    EXPECT_EQ(LinesOf(before), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(LinesOf(file.Snapshot()), (std::vector<std::string>{"a", "b", "c", "d"}));

    // A file that ended mid-line before the lines held: they start anew.
    RecordSnapshot held;
    held.held = {"x\n", "y\n"};
    d.Write("cut.jsonl", "{\"time\":");
    RecordFile cut(d.File("cut.jsonl"));
    held.files = cut.Snapshot().files;
    EXPECT_EQ(LinesOf(held), (std::vector<std::string>{"{\"time\":", "x", "y"}));
}

#ifndef _WIN32
TEST(RecordReading, ALinkAtTheRecordsNameIsNotRead) {
    test::TempDir d;
    d.Write("elsewhere", "secret\n");
    fs::create_symlink(d.File("elsewhere"), d.File(kName));
    fs::create_directory(d.File(kOlder));
    const RecordFile file(d.File(kName));
    EXPECT_TRUE(LinesOf(file.Snapshot()).empty());
}
#endif

// ---- the record as CSV ----

TEST(RecordCsv, OneRowAnEventQuotedForASpreadsheet) {
    const double at = test::FakeClock::At(10, 20, 30, 456);
    const struct {
        std::string line;
        std::string row;
    } cases[] = {
        {RecordLine(at, "alarm").Text("page", "Setup").Integer("count", 3).Done(),
         "2023-03-15,10:20:30.456,alarm,Setup,3,,,,,,,,,,,,,,,,,,,,\r\n"},
        {RecordLine(at, "command")
             .Text("action", "Setup apply")
             .Text("words", "0x098A 0x2AAA")
             .Text("meaning", "PL 25.5  %, address 9, \"normal\" mode")
             .Done(),
         "2023-03-15,10:20:30.456,command,,,,,,,,Setup apply,0x098A 0x2AAA,"
         "\"PL 25.5  %, address 9, \"\"normal\"\" mode\",,,,,,,,,,,,\r\n"},
        {RecordLine(at, "signal")
             .Text("page", "Setup")
             .Number("seconds", 0.5, 3)
             .Number("low", -3.5, 1)
             .Number("high", std::nan(""), 1)
             .Done(),
         "2023-03-15,10:20:30.456,signal,Setup,,,,,,,,,,,,0.500,-3.5,,,,,,,,\r\n"},
        {RecordLine(at, "warning").Text("text", "=HYPERLINK(\"x\")\nsecond line").Done(),
         "2023-03-15,10:20:30.456,warning,,,,,,,,,,,,,,,,,,,,,"
         "\"'=HYPERLINK(\"\"x\"\")\nsecond line\",\r\n"},
        // A number column that holds a text (a formula) or a bare sign: empty.
        {RecordLine(at, "alarm").Text("count", "=HYPERLINK(\"x\")").Done(),
         "2023-03-15,10:20:30.456,alarm,,,,,,,,,,,,,,,,,,,,,,\r\n"},
        {"{\"time\":\"2023-03-15T10:20:30.456\",\"event\":\"signal\",\"low\":-,\"high\":+1}\n",
         "2023-03-15,10:20:30.456,signal,,,,,,,,,,,,,,,,,,,,,,\r\n"},
        {RecordLine(at, "detected").Text("colour", " blue").Done(),
         "2023-03-15,10:20:30.456,detected,,,,,,,,,,,,,,,,,,,,,,colour= blue\r\n"},
        {RecordLine(at, "detected").Text("port", " COM5").Done(),
         "2023-03-15,10:20:30.456,detected,,,\" COM5\",,,,,,,,,,,,,,,,,,,\r\n"},
    };
    const std::string header = RecordCsvHeader();
    EXPECT_EQ(header.rfind("Date,Time,Event,Page,Count,Port,", 0), 0u);
    for (const auto& c : cases) {
        const std::optional<RecordEntry> e = ParseRecordLine(c.line.substr(0, c.line.size() - 1));
        ASSERT_TRUE(e) << c.line;
        EXPECT_EQ(RecordCsvRow(*e), c.row);
    }
    EXPECT_EQ(std::count(header.begin(), header.end(), ','), 24);
}

TEST(RecordCsv, TheFileHoldsTheReportsScopeOnly) {
    test::TempDir d;
    const double visit = test::FakeClock::At(10, 0, 0, 0);
    const auto detected = [](double at, const char* model) {
        return RecordLine(at, "detected")
            .Text("model", model)
            .Integer("version", 3)
            .Text("unit", "F2")
            .Integer("address", 9)
            .Done();
    };
    d.Write(kName, detected(visit - 0.01, "Dravena") + RecordLine(visit - 0.005, "alarm").Done() +
                       detected(visit, "Korvel") +
                       RecordLine(visit + 0.001, "alarm").Integer("count", 1).Done());
    const RecordFile file(d.File(kName));
    const std::string csv =
        RecordCsv(file.Snapshot(), ReportScope{ReportSpan::Record, visit, visit});
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF"
                        "Date,Time,Event",
                        0),
              0u);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 3);  // the header and this detector's two
    EXPECT_NE(csv.find(",detected,,,,Korvel,3,F2,9,"), std::string::npos) << csv;
    EXPECT_EQ(RecordCsvFileName(visit), "Quillane-record-20230315-100000.csv");
}

// ---- the forms remembered per site ----

TEST(SiteMemory, TheFormOfASiteComesBackWithoutItsVerdict) {
    test::TempDir d;
    const double now = test::FakeClock::At(10, 0, 0, 0);
    ReportForm north{"North gate",
                     "Zone 1",
                     "Acme",
                     "J. Doe",
                     "Line one\nline two",
                     ReportForm::Verdict::Passed};
    ReportForm south{"South yard", "Zone 4", "Acme", "A. Roe", "", ReportForm::Verdict::Failed};
    std::string error;
    {
        SiteMemory memory(d.File("Quillane-sites.jsonl"));
        memory.Read();  // none yet
        EXPECT_FALSE(memory.Last());
        ASSERT_TRUE(memory.Remember(north, now, error)) << error;
        ASSERT_TRUE(memory.Remember(south, now, error)) << error;
        north.zone = "Zone 2";
        ASSERT_TRUE(memory.Remember(north, now, error)) << error;  // the same site, anew
    }
    SiteMemory memory(d.File("Quillane-sites.jsonl"));
    memory.Read();
    north.verdict = ReportForm::Verdict::NotGiven;
    EXPECT_EQ(memory.Last(), north);
    EXPECT_EQ(memory.Recall("  south YARD "), (ReportForm{"South yard", "Zone 4", "Acme", "A. Roe",
                                                          "", ReportForm::Verdict::NotGiven}));
    EXPECT_FALSE(memory.Recall("East"));
    EXPECT_EQ(SiteMemory::Parse(d.Read("Quillane-sites.jsonl")).size(), 2u);
}

TEST(SiteMemory, OnlyTheNewestSitesAreKept) {
    std::vector<ReportForm> forms;
    test::TempDir d;
    SiteMemory memory(d.File("Quillane-sites.jsonl"));
    std::string error;
    for (std::size_t i = 0; i <= SiteMemory::kSitesKept; ++i) {
        ReportForm f;
        f.site = "Site " + std::to_string(i);
        ASSERT_TRUE(memory.Remember(f, 45000, error));
    }
    EXPECT_FALSE(memory.Recall("Site 0"));
    EXPECT_TRUE(memory.Recall("Site 1"));
}

TEST(SiteMemory, FieldsAreCleanedAndCut) {
    const struct {
        std::string in;
        std::size_t most;
        bool lineFeeds;
        std::string out;
    } cases[] = {
        {"  North\tgate \x01 ", 120, false, "North gate"},
        {"a\nb", 120, false, "a b"},
        {"a\nb\n", 120, true, "a\nb"},
        {"\xC3\xA9\xC3\xA9", 3, false, "\xC3\xA9"},  // never half a character
        {"   ", 120, false, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CleanField(c.in, c.most, c.lineFeeds), c.out) << c.in;
}

#ifndef _WIN32
// The folder may be shared: a link at the file's name is neither written
// through nor read, and its target stays as it was.
TEST(SiteMemory, ALinkAtItsNameIsRefused) {
    test::TempDir d;
    d.Write("passwd", "root:x:0:0::/root:/bin/sh\n");
    fs::permissions(d.File("passwd"), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(d.File("passwd"), d.File("Quillane-sites.jsonl"));
    SiteMemory memory(d.File("Quillane-sites.jsonl"));
    memory.Read();
    EXPECT_FALSE(memory.Last());
    std::string error;
    EXPECT_FALSE(memory.Remember(ReportForm{"North", "", "", "", "", {}}, 45000, error));
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;
    EXPECT_EQ(d.Read("passwd"), "root:x:0:0::/root:/bin/sh\n");
    EXPECT_TRUE(fs::is_symlink(d.File("Quillane-sites.jsonl")));
}
#endif

}  // namespace
}  // namespace quillane
