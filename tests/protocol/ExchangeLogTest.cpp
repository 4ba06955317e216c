#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>

#include "CoreFixture.h"
#include "protocol/ExchangeLog.h"

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
    EXPECT_EQ(LogTexts(path), std::vector<std::string>{"found"});
}

TEST_F(ExchangeLogTest, LinesGoToTheEndEvenWhenOthersAppend) {
    std::ofstream(path).flush();
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    log.WriteLog("one");
    std::ofstream(path, std::ios::app | std::ios::binary) << "10:20:30.456  foreign\n";
    log.WriteLog("two");
    EXPECT_EQ(LogTexts(path), (std::vector<std::string>{"one", "foreign", "two"}));
}

TEST_F(ExchangeLogTest, AFolderAtTheLogsNameLeavesLoggingOffAndIsKept) {
    fs::create_directory(path);
    ExchangeLog log(clock, path);
    log.EnableLogIfPresent();
    EXPECT_FALSE(log.bLogEnabled());
    EXPECT_TRUE(log.WriteLog("nothing"));
    EXPECT_TRUE(fs::is_directory(path));
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
