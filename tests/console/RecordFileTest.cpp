// The site record's file against what a hostile or a broken machine leaves at
// its names, on real files and links: nothing is written through a link, the
// installer is told, the lines wait in memory and reach the file once it
// takes them again; and the pair of files keeps its bound whatever it was.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "TempDir.h"
#include "console/record/RecordFile.h"
#include "console/record/SiteRecord.h"
#include "model/CorrespondenceTables.h"
#include "model/NumberFormat.h"
#include "os/Clock.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;

constexpr char kName[] = "Quillane-site.jsonl";
constexpr char kOlder[] = "Quillane-site.1.jsonl";

// A line of `size` bytes with its line feed, told apart by its number.
std::string Line(int n, std::size_t size = 20) {
    std::string line = "line " + std::to_string(n) + " ";
    line.resize(size - 1, '.');
    return line + "\n";
}

std::string Lines(int from, int to, std::size_t size = 20) {
    std::string text;
    for (int n = from; n <= to; ++n) text += Line(n, size);
    return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class RecordFileTest : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir.File(name); }
    test::TempDir dir;
};

// Each row puts something at the record's names, then takes it away again.
struct Hostile {
    const char* what;
    std::function<void(const test::TempDir&)> make, clear;
    const char* why;  // in the problem
    // What must stay as it was: a link's target.
    std::function<void(const test::TempDir&)> check = [](const test::TempDir&) {};
};

TEST_F(RecordFileTest, WhatCannotBeWrittenIsToldHeldAndWrittenOnceItCan) {
    const auto noFile = [](const test::TempDir& d) { fs::remove(d.File(kName)); };
    std::vector<Hostile> table = {
        {"a folder at its name",
         [](const test::TempDir& d) { fs::create_directory(d.File(kName)); }, noFile,
         "not a regular file"},
        {"its folder missing", [](const test::TempDir& d) { fs::remove(d.File("in")); },
         // The reason is the system's own, in its words.
         [](const test::TempDir& d) { fs::create_directory(d.File("in")); }, ""},
        {"a read-only file (also for the administrator)",
         [](const test::TempDir& d) {
             d.Write(kName, "old\n");
             d.MakeReadOnly(kName);
         },
         [](const test::TempDir& d) {
             fs::permissions(d.File(kName), fs::perms::owner_write, fs::perm_options::add);
         },
         "read-only file"},
        {"a folder at the older generation's name, the file full",
         [](const test::TempDir& d) {
             d.Write(kName, Lines(90, 94));
             fs::create_directory(d.File(kOlder));
         },
         [](const test::TempDir& d) { fs::remove(d.File(kOlder)); }, "aside as"},
#ifndef _WIN32
        {"a pipe",
         [](const test::TempDir& d) { ASSERT_EQ(::mkfifo(d.File(kName).c_str(), 0644), 0); },
         noFile, "not a regular file"},
        {"a link that leads nowhere",
         [](const test::TempDir& d) {
             fs::create_directory(d.File("other"));
             fs::create_symlink(d.File("other/planted.jsonl"), d.File(kName));
         },
         noFile, "symbolic link",
         [](const test::TempDir& d) { EXPECT_FALSE(fs::exists(d.File("other/planted.jsonl"))); }},
        {"a link to another user's file",
         [](const test::TempDir& d) {
             d.Write("passwd", "root:x:0:0::/root:/bin/sh\n");
             fs::create_symlink(d.File("passwd"), d.File(kName));
         },
         noFile, "symbolic link",
         [](const test::TempDir& d) {
             EXPECT_EQ(d.Read("passwd"), "root:x:0:0::/root:/bin/sh\n");
         }},
#endif
    };
    for (const Hostile& row : table) {
        SCOPED_TRACE(row.what);
        test::TempDir d;
        fs::create_directory(d.File("in"));
        const bool inFolder = std::string(row.what) == "its folder missing";
        const std::string path = inFolder ? d.File("in/" + std::string(kName)) : d.File(kName);
        row.make(d);
        // Never a read of the pipe: it would wait for a writer.
        const auto isFile = [&] { return fs::is_regular_file(fs::symlink_status(path)); };
        const std::string before = isFile() ? d.Read(kName) : "";
        RecordFile file(path, 100);

        EXPECT_FALSE(file.Append(Line(1)));
        EXPECT_FALSE(file.Append(Line(2)));
        EXPECT_EQ(file.Problem().rfind("Unable to ", 0), 0u) << file.Problem();
        EXPECT_NE(file.Problem().find(row.why), std::string::npos) << file.Problem();
        EXPECT_EQ(file.Held(), (std::deque<std::string>{Line(1), Line(2)}));
        EXPECT_TRUE(file.Incomplete());
        // The report reads what the file has, then what is held.
        EXPECT_TRUE(EndsWith(file.ReadBack(), Line(1) + Line(2))) << file.ReadBack();
        row.check(d);
        if (isFile()) {
            EXPECT_EQ(test::FileText(path), before);
        }

        row.clear(d);
        EXPECT_TRUE(file.Append(Line(3)));
        EXPECT_EQ(file.Problem(), "");
        EXPECT_TRUE(file.Held().empty());
        EXPECT_FALSE(file.Incomplete());
        EXPECT_TRUE(EndsWith(file.ReadBack(), Lines(1, 3))) << file.ReadBack();
        EXPECT_TRUE(EndsWith(test::FileText(path), Lines(1, 3)));
        row.check(d);
    }
}

#ifndef _WIN32
// A full disk, as writes past a size the process may not exceed (EFBIG): the
// line it cut short ends before the lines caught up after it.
TEST_F(RecordFileTest, AFullDiskIsToldAndTheLinesCaughtUpAfterTheLineItCut) {
    dir.Write(kName, Line(0));
    RecordFile file(Path(kName), 100);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit full = saved;
    full.rlim_cur = 25;  // room for 5 bytes of the next line
    const auto previous = ::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &full);
    const bool first = file.Append(Line(1));
    const bool second = file.Append(Line(2));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previous);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(file.Problem(), "Unable to write to " + Path(kName) + ": File too large");
    EXPECT_EQ(file.Held().size(), 2u);
    EXPECT_TRUE(file.Append(Line(3)));
    EXPECT_EQ(dir.Read(kName), Line(0) + Line(1).substr(0, 5) + "\n" + Lines(1, 3));
}
#endif

// While the file is refused, as much as one generation waits in memory; the
// oldest lines go first, and the file stays incomplete for the whole run.
TEST_F(RecordFileTest, HeldLinesAreBoundedAndTheOldestGiveWay) {
    fs::create_directory(Path(kName));
    RecordFile file(Path(kName), 100);
    for (int n = 1; n <= 8; ++n) EXPECT_FALSE(file.Append(Line(n)));
    EXPECT_EQ(file.Held(), (std::deque<std::string>{Line(4), Line(5), Line(6), Line(7), Line(8)}));
    EXPECT_EQ(file.GivenUp(), 3u);
    fs::remove(Path(kName));
    EXPECT_TRUE(file.Append(Line(9)));
    EXPECT_EQ(dir.Read(kOlder), Lines(4, 8));
    EXPECT_EQ(dir.Read(kName), Line(9));
    EXPECT_TRUE(file.Incomplete());
}

// Whatever the two files were at start, the first line brings each within
// the limit and keeps the newest whole lines.
TEST_F(RecordFileTest, FilesFoundPastTheLimitKeepTheirNewestLines) {
    const struct {
        const char* what;
        std::string current, older;
        std::string currentAfter, olderAfter;
    } table[] = {
        // 30-byte lines: the newest 100 bytes begin inside line 16.
        {"the file 20 times its limit", Lines(1, 19, 30), "", Line(99), Lines(17, 19, 30)},
        {"both past it", Lines(1, 19, 30), Lines(1, 50, 30), Line(99), Lines(17, 19, 30)},
        {"the older generation past it", Lines(20, 21, 30), Lines(1, 19, 30),
         Lines(20, 21, 30) + Line(99), Lines(17, 19, 30)},
        {"within it", Lines(20, 21, 30), Lines(1, 3, 30), Lines(20, 21, 30) + Line(99),
         Lines(1, 3, 30)},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        test::TempDir d;
        d.Write(kName, row.current);
        if (!row.older.empty()) d.Write(kOlder, row.older);
        RecordFile file(d.File(kName), 100);
        EXPECT_TRUE(file.Append(Line(99)));
        EXPECT_EQ(d.Read(kName), row.currentAfter);
        EXPECT_EQ(d.Read(kOlder), row.olderAfter);
        EXPECT_EQ(d.Count(), 2);
    }
}

// The window hears of a problem once each time the file stops taking lines,
// also when the file it has open is taken away and something else put there.
TEST(SiteRecordFile, TheInstallerIsToldOnceEachTimeTheFileStopsTakingLines) {
    test::TempDir dir;
    test::FakeClock clock;
    NumberFormat format;
    CorrespondenceTables tables(format);
    SiteRecord record(clock, tables, dir.File(kName), 1 << 20);
    std::vector<std::string> told;
    record.OnFileProblem([&told](const std::string& message) { told.push_back(message); });
    fs::create_directory(dir.File(kName));
    record.CalibrationMaximum(1, clock.LocalDays());
    record.CalibrationMaximum(2, clock.LocalDays());
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], "Unable to write to " + dir.File(kName) +
                           ": not a regular file\n\nUntil the file takes them again, the console "
                           "keeps the newest 1 MB of the record's events in memory. A "
                           "commissioning report is built from them and says that the record "
                           "file is incomplete.");
    fs::remove(dir.File(kName));
    record.CalibrationMaximum(3, clock.LocalDays());
    EXPECT_EQ(told.size(), 1u);
    EXPECT_EQ(record.File().Problem(), "");
    // Renamed rather than removed: Windows keeps the name of a file removed
    // while open until it is closed.
    fs::rename(dir.File(kName), dir.File("aside.jsonl"));
    fs::create_directory(dir.File(kName));
    record.CalibrationMaximum(4, clock.LocalDays());
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(record.File().Held().size(), 1u);
}

}  // namespace
}  // namespace quillane
