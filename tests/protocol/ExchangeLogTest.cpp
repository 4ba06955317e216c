#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CoreFixture.h"
#include "protocol/ExchangeLog.h"
#include "protocol/LogFormat.h"
#include "protocol/LogLine.h"

namespace quillane::test {
namespace {

namespace fs = std::filesystem;

class ExchangeLogTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = dir.File("Quillane.log");
    FakeClock clock;
};

TEST_F(ExchangeLogTest, NoFileAtStartMeansNoFileEver) {
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    EXPECT_FALSE(log.bLogEnabled());
    EXPECT_TRUE(log.WriteLog("anything"));
    const std::uint8_t bytes[] = {0x00, 0x2F, 0xFF, 0x2E};
    log.LogInpFrame(bytes);
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ExchangeLogTest, OldLogIsEmptiedAndOnlyTheNewRunFollows) {
    std::ofstream(path) << "old run line\n";
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.bLogEnabled());
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_TRUE(log.WriteLog("first"));
    clock.Advance(1.5);
    EXPECT_TRUE(log.WriteLog("second"));
    EXPECT_TRUE(log.Flush());
    EXPECT_EQ(FileText(path), "10:20:30.456  first\n10:20:31.956  second\n");
}

TEST_F(ExchangeLogTest, FileDeletedWhileOpenKeepsReceivingLines) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.WriteLog("before"));
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not delete a file that the log holds open";
#endif
    // A second name for the same file lets the test read what goes into the
    // open handle after the log's own name is gone.
    const std::string witness = dir.File("witness.log");
    fs::create_hard_link(path, witness);
    ASSERT_TRUE(fs::remove(path));
    EXPECT_TRUE(log.WriteLog("after"));
    EXPECT_TRUE(log.Flush());
    EXPECT_EQ(LogTexts(witness), (std::vector<std::string>{"before", "after"}));
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(ExchangeLogTest, FileRemovedBeforeFirstLineIsNotCreated) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    fs::remove(path);
    EXPECT_FALSE(log.WriteLog("lost"));
    EXPECT_FALSE(fs::exists(path));
    // The next line tries to open again and finds the file once it is back.
    std::ofstream(path).flush();
    EXPECT_TRUE(log.WriteLog("found"));
    EXPECT_TRUE(log.Flush());
    EXPECT_EQ(LogTexts(path), std::vector<std::string>{"found"});
}

TEST_F(ExchangeLogTest, LinesGoToTheEndEvenWhenOthersAppend) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    log.WriteLog("one");
    log.Flush();
    std::ofstream(path, std::ios::app | std::ios::binary) << "10:20:30.456  foreign\n";
    log.WriteLog("two");
    log.Flush();
    EXPECT_EQ(LogTexts(path), (std::vector<std::string>{"one", "foreign", "two"}));
}

// Lines wait in memory and leave in one write: at the end of a pass once the
// oldest has waited a tenth of a second, at once when 32 kB have gathered.
// The lines of a pass carry the time of its first.
TEST_F(ExchangeLogTest, LinesWaitATenthOfASecondOr32kBAtMost) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    const std::uint8_t frame[] = {0x00, 0x2F, 0xFF, 0x2E};
    EXPECT_EQ(log.FlushDueIn(clock.mono), std::nullopt);
    {
        const ExchangeLog::Pass pass(log);
        EXPECT_TRUE(log.WriteLog("first"));
        clock.Advance(0.001);
        log.LogInpFrame(frame);
    }
    EXPECT_EQ(FileText(path), "");
    ASSERT_TRUE(log.FlushDueIn(clock.mono));
    EXPECT_NEAR(*log.FlushDueIn(clock.mono), 0.099, 1e-9);
    clock.Advance(0.098);
    { const ExchangeLog::Pass pass(log); }
    EXPECT_EQ(FileText(path), "");
    clock.Advance(0.002);
    {
        const ExchangeLog::Pass pass(log);
        log.WriteLog("second pass");
    }
    EXPECT_EQ(FileText(path),
              "10:20:30.456  first\n"
              "10:20:30.456  Inp:[00 2F FF 2E] chsum:Ok code:1 sig:1023 pp:1 mp:1 bp:0\n"
              "10:20:30.557  second pass\n");
    EXPECT_EQ(log.FlushDueIn(clock.mono), std::nullopt);

    // A flood: once 32 kB wait they leave at once, whatever the time.
    const std::string text(85, 'x');  // 100 bytes a line with its stamp
    const ExchangeLog::Pass pass(log);
    const std::size_t before = FileText(path).size();
    for (int n = 0; n < 327; ++n) log.WriteLog(text);
    EXPECT_EQ(FileText(path).size(), before);
    log.WriteLog(text);
    EXPECT_EQ(FileText(path).size(), before + 32800);
}

TEST_F(ExchangeLogTest, EachFramesLineIsItsOwnWhateverCameBefore) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.bLogEnabled());
    // Frames that differ in one byte only, with good and broken checksums,
    // each again after hundreds of others and at once after itself.
    std::vector<std::array<std::uint8_t, 4>> frames;
    for (const std::uint8_t code : {0x2F, 0x4F, 0x2E})
        for (int value = 0; value < 256; ++value)
            frames.push_back({0x00, code, static_cast<std::uint8_t>(value), 0x2E});
    for (int n = 255; n >= 0; n -= 5) {
        frames.push_back({0x00, 0x2F, static_cast<std::uint8_t>(n), 0x2E});
        frames.push_back({0x00, 0x2F, static_cast<std::uint8_t>(n), 0x2E});
        frames.push_back({0x00, 0x4F, static_cast<std::uint8_t>(n), 0x2E});
    }
    std::string expected;
    for (const auto& frame : frames) {
        log.LogInpFrame(frame.data());
        LogLine line;
        logformat::InpText(line, frame.data());
        expected.append("10:20:30.456  ").append(line.View()).push_back('\n');
    }
    ASSERT_TRUE(log.Flush());
    EXPECT_EQ(FileText(path), expected);
}

TEST_F(ExchangeLogTest, AFolderAtTheLogsNameLeavesLoggingOffAndIsKept) {
    fs::create_directory(path);
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    EXPECT_FALSE(log.bLogEnabled());
    EXPECT_TRUE(log.WriteLog("nothing"));
    EXPECT_TRUE(fs::is_directory(path));
}

// The rotation's cases on real files: a log of three lines' room.
constexpr std::int64_t kBound = 160;

// Line n's text: 51 bytes a line with the stamp and line feed.
std::string Text(int n) {
    std::string text = "line " + std::to_string(n) + " ";
    text.resize(36, '.');
    return text;
}

std::vector<std::string> Texts(int from, int to) {
    std::vector<std::string> texts;
    for (int n = from; n <= to; ++n) texts.push_back(Text(n));
    return texts;
}

// Lines from..to, then one write; whether all were taken and went out.
bool WriteLines(ExchangeLog& log, int from, int to) {
    bool taken = true;
    for (int n = from; n <= to; ++n) taken = log.WriteLog(Text(n)) && taken;
    return log.Flush() && taken;
}

// The lines of a regular file at p; none for anything else.
std::vector<std::string> Lines(const fs::path& p) {
    return fs::is_regular_file(fs::symlink_status(p)) ? LogTexts(p.string())
                                                      : std::vector<std::string>{};
}

// However long the run, the log and its earlier generation hold the newest
// whole lines and never more than the bound each; the earlier generation of
// a past run goes at start.
TEST_F(ExchangeLogTest, ALongRunKeepsItsNewestLinesInTwoGenerationsWithinTheBound) {
    const std::string earlier = dir.File("Quillane.1.log");
    std::ofstream(path) << "the last run\n";
    std::ofstream(earlier) << "the run before\n";
    ExchangeLog log(clock, path, kBound);
    EXPECT_EQ(log.EarlierPath(), earlier);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.bLogEnabled());
    EXPECT_FALSE(fs::exists(earlier));
    for (int n = 0; n < 40; n += 2) {
        ASSERT_TRUE(WriteLines(log, n, n + 1)) << n;
        EXPECT_LE(fs::file_size(path), static_cast<std::uintmax_t>(kBound)) << n;
        if (n > 2) {
            EXPECT_LE(fs::file_size(earlier), static_cast<std::uintmax_t>(kBound)) << n;
        }
    }
    auto texts = LogTexts(earlier);
    for (const auto& text : LogTexts(path)) texts.push_back(text);
    EXPECT_EQ(texts, Texts(36, 39));
    EXPECT_EQ(dir.Count(), 2);
}

// What a hostile or broken machine leaves at the log's names after the start:
// nothing is written through a link, nothing at the earlier name stops the
// bound, and a file the user removed is not made anew.
TEST_F(ExchangeLogTest, NothingAtItsNamesTakesItThroughALinkOrPastItsBound) {
    enum Plant { kFolder, kRemoved, kLinkToFile, kLinkToNowhere };
    const std::string victim = "root\n";  // short: room left for the lines
    const struct {
        Plant plant;
        const char* name;
        bool takesLines;                        // lines 0..2 reach a file
        std::vector<std::string> earlier, log;  // after 3..5, past the bound
    } table[] = {
        {kFolder, "Quillane.1.log", true, {}, Texts(0, 2)},  // lost until it goes
        {kRemoved, "Quillane.log", true, {}, {}},            // let go, not made anew
#ifndef _WIN32
        {kLinkToFile, "Quillane.log", false, {}, {}},
        {kLinkToNowhere, "Quillane.log", false, {}, {}},
        {kLinkToFile, "Quillane.1.log", true, Texts(0, 2), Texts(3, 5)},  // replaced
        {kLinkToNowhere, "Quillane.1.log", true, Texts(0, 2), Texts(3, 5)},
#endif
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.plant << " at " << row.name);
        TempDir d;
        const fs::path log = d.File("Quillane.log"), earlier = d.File("Quillane.1.log");
        const fs::path at = d.File(row.name), planted = d.File("other/planted.log");
        std::ofstream(log).flush();
        ExchangeLog exchange(clock, log.string(), kBound);
        exchange.EnableLogIfPresent();
        ASSERT_TRUE(exchange.bLogEnabled());
        // The file is opened by its first line, after the planting unless
        // the removal is of an open log.
        if (row.plant == kRemoved) exchange.WriteLog(Text(0));
        d.Write("passwd", victim);
        fs::create_directory(d.File("other"));
        if (row.plant != kFolder) fs::remove(at);
        if (row.plant == kFolder) fs::create_directory(at);
        if (row.plant == kLinkToFile) fs::create_symlink(d.File("passwd"), at);
        if (row.plant == kLinkToNowhere) fs::create_symlink(planted, at);
        EXPECT_EQ(WriteLines(exchange, row.plant == kRemoved ? 1 : 0, 2), row.takesLines);
        WriteLines(exchange, 3, 5);
        for (const fs::path& p : {log, earlier}) {
            if (fs::is_regular_file(fs::symlink_status(p))) {
                EXPECT_LE(fs::file_size(p), static_cast<std::uintmax_t>(kBound)) << p;
            }
        }
        EXPECT_EQ(Lines(earlier), row.earlier);
        EXPECT_EQ(Lines(log), row.log);
        EXPECT_EQ(d.Read("passwd"), victim);
        EXPECT_FALSE(fs::exists(planted));
        EXPECT_TRUE(row.takesLines || fs::is_symlink(at));  // a link is left as it was
        EXPECT_TRUE(row.plant != kRemoved || !fs::exists(log));
        // Taken away again, or the log made again by the user: the log goes on.
        if (row.plant == kFolder) fs::remove(at);
        if (row.plant == kRemoved) std::ofstream(log).flush();
        if (row.plant > kRemoved) continue;
        EXPECT_TRUE(WriteLines(exchange, 6, 8));
        EXPECT_EQ(Lines(earlier), row.plant == kFolder ? Texts(0, 2) : row.earlier);
        EXPECT_EQ(Lines(log), Texts(6, 8));
    }
}

#ifndef _WIN32  // fifos, device links and alarm are POSIX alone

// A call that blocks ends the test process after a few seconds instead of
// hanging the suite.
class HangGuard {
public:
    HangGuard() { ::alarm(10); }
    ~HangGuard() { ::alarm(0); }
};

TEST_F(ExchangeLogTest, ALogThatIsNoRegularFileLeavesLoggingOffAndIsKept) {
    const struct {
        const char* kind;
        void (*make)(const std::string&);
        fs::file_type type;
    } cases[] = {
        {"fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0644); }, fs::file_type::fifo},
        {"device", [](const std::string& p) { fs::create_symlink("/dev/null", p); },
         fs::file_type::character},
    };
    for (const auto& c : cases) {
        c.make(path);
        HangGuard guard;
        ExchangeLog log(clock, path);
        log.EnableLogIfPresent();
        EXPECT_FALSE(log.bLogEnabled()) << c.kind;
        EXPECT_TRUE(log.WriteLog("nothing")) << c.kind;
        EXPECT_EQ(fs::status(path).type(), c.type) << c.kind;
        fs::remove(path);
    }
}

// A link found at start switches the log on like a file, and a file of the
// log's own takes its place: what it led to stays as it was.
TEST_F(ExchangeLogTest, ALinkAtItsNameAtStartMakesWayForAFileOfItsOwn) {
    dir.Write("passwd", "root:x:0:0::/root:/bin/sh\n");
    fs::create_symlink(dir.File("passwd"), path);
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.bLogEnabled());
    EXPECT_TRUE(log.WriteLog("line"));
    EXPECT_TRUE(log.Flush());
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(path)));
    EXPECT_EQ(LogTexts(path), std::vector<std::string>{"line"});
    EXPECT_EQ(dir.Read("passwd"), "root:x:0:0::/root:/bin/sh\n");
}

TEST_F(ExchangeLogTest, ALogReplacedByAFifoAfterTheStartIsNotWaitedOn) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    ASSERT_TRUE(log.bLogEnabled());
    fs::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    HangGuard guard;
    EXPECT_FALSE(log.WriteLog("line"));
    EXPECT_TRUE(fs::is_fifo(path));
}

#endif

}  // namespace
}  // namespace quillane::test
