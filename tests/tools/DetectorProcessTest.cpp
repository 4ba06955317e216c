// The real program on a pseudo-terminal, reached through its alias in a
// temporary config folder, as the console reaches it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "DetectorProcess.h"
#include "LineScanner.h"
#include "PtySandbox.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using test::DetectorProcess;
using Clock = std::chrono::steady_clock;

// Generous: a loaded build machine may be slow, but a working detector answers
// within milliseconds.
constexpr auto kPatience = std::chrono::seconds(15);

// The console's side of the line: the alias opened raw at the line's speed
// and non-blocking.
class ConsoleEnd {
public:
    // Locked by default, as the console opens a pseudo-terminal; other
    // programs (and consoles of old) set the exclusive flag too.
    enum Hold { kOpenOnly, kLocked, kLockedExclusive };
    explicit ConsoleEnd(const std::string& path, Hold hold = kLocked)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios t{};
        if (fd_ >= 0 && hold != kOpenOnly) ::flock(fd_, LOCK_EX | LOCK_NB);
        if (fd_ >= 0 && hold == kLockedExclusive) ::ioctl(fd_, TIOCEXCL);
        if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
            ::cfsetspeed(&t, B57600);
            ::tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~ConsoleEnd() {
        if (fd_ >= 0) ::ioctl(fd_, TIOCNXCL);
        Die();
    }
    // As a console that crashes: the descriptor goes, the flag it set stays.
    void Die() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool IsOpen() const { return fd_ >= 0; }
    bool Exclusive() const {
        int exclusive = 0;
        return ::ioctl(fd_, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    }
    void Send(std::uint16_t command) {
        const frame::Frame f = frame::OutgoingFrame(command);
        SendBytes({f.begin(), f.end()});
    }
    void SendBytes(const std::vector<std::uint8_t>& bytes) {
        size_t done = 0;
        const auto deadline = Clock::now() + kPatience;
        while (done < bytes.size() && Clock::now() < deadline) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) done += static_cast<size_t>(n);
            pollfd p{fd_, POLLOUT, 0};
            if (n <= 0) ::poll(&p, 1, 50);
        }
        ASSERT_EQ(done, bytes.size());
    }
    // Reads until the predicate holds for the scanner, or patience runs out.
    template <typename Pred>
    bool ReadUntil(Pred done) {
        const auto deadline = Clock::now() + kPatience;
        std::vector<std::uint8_t> buf(1024);
        while (Clock::now() < deadline && !done(scanner)) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0) continue;
            const ssize_t n = ::read(fd_, buf.data(), buf.size());
            if (n > 0) scanner.Feed({buf.begin(), buf.begin() + n});
        }
        return done(scanner);
    }
    // A dropped line reads as an error (EIO) or an end, never as silence.
    bool HungUp() {
        const auto deadline = Clock::now() + kPatience;
        std::uint8_t buf[1024];
        while (Clock::now() < deadline) {
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n == 0 || (n < 0 && errno != EAGAIN)) return true;
            if (n < 0) ::poll(nullptr, 0, 10);
        }
        return false;
    }
    testing::LineScanner scanner;

private:
    int fd_;
};

// The detector finds its alias folder through the sandbox's XDG_CONFIG_HOME.
class DetectorProcessTest : public ::testing::Test {
protected:
    std::string Alias(int n) const { return sandbox_.AliasPath(n); }

    test::PtySandbox sandbox_;
    const std::string home_ = sandbox_.ConfigHome();
};

// A count from the stats file, -1 when missing.
long long Stat(const std::string& file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key + " ", 0) == 0) return std::stoll(line.substr(key.size() + 1));
    }
    return -1;
}

bool StateIs(const testing::LineScanner& s, unsigned state) {
    return !s.words.empty() && [&] {
        for (auto it = s.words.rbegin(); it != s.words.rend(); ++it) {
            if (frame::Code(*it) == 2) return frame::State(*it) == state;
        }
        return false;
    }();
}

TEST_F(DetectorProcessTest, AliasCarriesFramesAndCommandsAndGoesAwayOnCtrlC) {
    const std::string stats = home_ + "/stats";
    DetectorProcess p({"--com", "7", "-q", "-v", "--stats-file", stats});
    const std::string line = p.ReadLine();
    ASSERT_EQ(line.rfind("port COM7 /dev/", 0), 0u) << line << p.ErrorOutput();
    const std::string device = line.substr(std::string("port COM7 ").size());
    EXPECT_EQ(fs::read_symlink(Alias(7)).string(), device);

    {
        // Another program looking at the line, without holding it.
        ConsoleEnd onlooker(Alias(7), ConsoleEnd::kOpenOnly);
        EXPECT_TRUE(onlooker.ReadUntil([](auto& s) { return s.fullSets >= 1; }));
    }
    {
        ConsoleEnd console(Alias(7));
        ASSERT_TRUE(console.IsOpen());
        EXPECT_TRUE(console.ReadUntil([](auto& s) { return s.fullSets >= 2; }));
        // A garbling console first: no two copies in it ever agree, so nothing
        // in it is a command, and the good frame right after it still counts.
        const std::vector<std::uint8_t> garble = {0x00, 0xFF, 0x13, 0x80, 0x7F, 0x81, 0x7E, 0x82};
        std::vector<std::uint8_t> noise;
        for (int i = 0; i < 2048; ++i) noise.insert(noise.end(), garble.begin(), garble.end());
        console.SendBytes(noise);
        console.Send(frame::Command0(1, 10, 1));
        EXPECT_TRUE(console.ReadUntil([](auto& s) { return StateIs(s, 2); }));
        EXPECT_EQ(p.ReadLine(), "cmd code:0 adr:1 senspp:10 state:1");
    }
    // The console closed its end: the detector waits and serves the next open.
    {
        ConsoleEnd console(Alias(7));
        ASSERT_TRUE(console.IsOpen());
        EXPECT_TRUE(console.ReadUntil([](auto& s) { return s.fullSets >= 1; }));
        console.Send(frame::Command0(1, 10, 0));
        EXPECT_TRUE(console.ReadUntil([](auto& s) { return StateIs(s, 0); }));
    }

    EXPECT_EQ(p.Stop(SIGINT), 0) << p.ErrorOutput();
    EXPECT_FALSE(fs::exists(fs::symlink_status(Alias(7))));
    EXPECT_NE(p.RestOfOutput().find("sent "), std::string::npos);
    EXPECT_EQ(p.RestOfOutput().find("sent 0 frames"), std::string::npos);
    // Only the frames sent while the console had its port open and set up
    // count as held.
    const long long sent = Stat(stats, "sent"), held = Stat(stats, "held frames");
    EXPECT_GT(held, 0);
    EXPECT_LT(held, sent);
    EXPECT_EQ(Stat(stats, "commands"), 2);
    EXPECT_GT(Stat(stats, "rejected commands"), 4000);
}

// First a hang-up on its own timer, then one on demand (SIGUSR1) at a moment
// the test chooses, so that the old end is surely open when the line drops.
TEST_F(DetectorProcessTest, HangUpKillsTheOldDeviceAndOffersANewOne) {
    DetectorProcess p({"--com", "8", "-q", "--hangup-after", "0.3"});
    const std::string first = p.ReadLine();
    ASSERT_EQ(first.rfind("port COM8 ", 0), 0u) << first << p.ErrorOutput();
    const std::string second = p.ReadLine();
    ASSERT_EQ(second.rfind("port COM8 ", 0), 0u) << second << p.ErrorOutput();
    ConsoleEnd old(Alias(8));
    ASSERT_TRUE(old.IsOpen());
    EXPECT_TRUE(old.ReadUntil([](auto& s) { return s.fullSets >= 1; }));

    p.Signal(SIGUSR1);
    const std::string third = p.ReadLine();
    ASSERT_EQ(third.rfind("port COM8 ", 0), 0u) << third << p.ErrorOutput();
    EXPECT_NE(third, second);  // the old device lives on while its end is open
    EXPECT_EQ("port COM8 " + fs::read_symlink(Alias(8)).string(), third);
    EXPECT_TRUE(old.HungUp());

    ConsoleEnd renewed(Alias(8));
    EXPECT_TRUE(renewed.ReadUntil([](auto& s) { return s.fullSets >= 1; }));
    EXPECT_EQ(p.Stop(SIGTERM), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Alias(8))));
}

// The exclusive flag belongs to the terminal, which the detector keeps open: a
// program that dies without clearing it would shut every later console out.
TEST_F(DetectorProcessTest, ConsoleThatDiesLeavesTheLineOpenForTheNext) {
    DetectorProcess p({"--com", "11", "-q"});
    ASSERT_EQ(p.ReadLine().rfind("port COM11 ", 0), 0u) << p.ErrorOutput();
    // Opened first: a later open of an exclusive line is refused to all but root.
    ConsoleEnd onlooker(Alias(11), ConsoleEnd::kOpenOnly);
    ASSERT_TRUE(onlooker.IsOpen());
    ConsoleEnd dying(Alias(11), ConsoleEnd::kLockedExclusive);
    ASSERT_TRUE(dying.ReadUntil([](auto& s) { return s.fullSets >= 1; }));
    ASSERT_TRUE(onlooker.Exclusive());
    // Not taken for a leftover while the console lives.
    EXPECT_TRUE(dying.ReadUntil([](auto& s) { return s.fullSets >= 3; }));
    EXPECT_TRUE(onlooker.Exclusive());

    dying.Die();
    const auto deadline = Clock::now() + kPatience;
    while (onlooker.Exclusive() && Clock::now() < deadline) ::poll(nullptr, 0, 10);
    EXPECT_FALSE(onlooker.Exclusive());
    ConsoleEnd next(Alias(11));
    ASSERT_TRUE(next.IsOpen()) << std::strerror(errno);
    EXPECT_TRUE(next.ReadUntil([](auto& s) { return s.fullSets >= 1; }));
    EXPECT_EQ(p.Stop(SIGINT), 0);
}

TEST_F(DetectorProcessTest, DefaultPortLiesAboveEveryPortPresent) {
    fs::create_directories(home_ + "/quillane/ports");
    fs::create_symlink("/nonexistent/device", Alias(200));
    DetectorProcess p({"-q", "--duration", "0.2", "--stats-file", home_ + "/stats"});
    EXPECT_EQ(p.ReadLine().rfind("port COM201 /dev/", 0), 0u) << p.ErrorOutput();
    EXPECT_EQ(p.Stop(0), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(Alias(201))));
    EXPECT_TRUE(fs::exists(fs::symlink_status(Alias(200))));  // not ours, left alone
    EXPECT_GT(Stat(home_ + "/stats", "sent"), 0);
    EXPECT_EQ(Stat(home_ + "/stats", "held frames"), 0);
}

TEST_F(DetectorProcessTest, StaleAliasIsReplacedLiveOneIsNot) {
    fs::create_directories(home_ + "/quillane/ports");
    fs::create_symlink("/dev/pts/nonexistent", Alias(9));
    fs::create_symlink("/dev/null", Alias(10));
    {
        DetectorProcess p({"--com", "9", "-q", "--duration", "0.2"});
        EXPECT_EQ(p.ReadLine().rfind("port COM9 ", 0), 0u) << p.ErrorOutput();
        EXPECT_EQ(p.Stop(0), 0);
    }
    DetectorProcess p({"--com", "10", "-q"});
    EXPECT_EQ(p.Stop(0), 1);
    EXPECT_NE(p.ErrorOutput().find("is taken"), std::string::npos) << p.ErrorOutput();
    EXPECT_EQ(fs::read_symlink(Alias(10)).string(), "/dev/null");
}

TEST_F(DetectorProcessTest, BadOptionExitsWithTwoAndSaysWhy) {
    DetectorProcess p({"--rate", "5000"});
    EXPECT_EQ(p.Stop(0), 2);
    EXPECT_NE(p.ErrorOutput().find("--rate '5000'"), std::string::npos) << p.ErrorOutput();
    EXPECT_FALSE(fs::exists(home_ + "/quillane"));
}

}  // namespace
}  // namespace quillane
