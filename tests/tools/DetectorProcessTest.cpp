// The real program on a pseudo-terminal, reached through its alias in a
// temporary config folder, as the console reaches it.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LineScanner.h"
#include "protocol/FrameCodec.h"

namespace quillane {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Generous: a loaded build machine may be slow, but a working detector answers
// within milliseconds.
constexpr auto kPatience = std::chrono::seconds(15);

class DetectorProcess {
public:
    DetectorProcess(const std::string& configHome, const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            ::dup2(err[1], 2);
            ::close(out[0]), ::close(err[0]);
            ::setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(QUILLANE_DETECTOR_PROGRAM)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(out[1]), ::close(err[1]);
        out_ = out[0], err_ = err[0];
    }
    ~DetectorProcess() {
        if (pid_ > 0 && status_ < 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) ::close(out_);
        if (err_ >= 0) ::close(err_);
    }

    // The next line of standard output, empty when none came in time.
    std::string ReadLine() {
        const auto deadline = Clock::now() + kPatience;
        while (Clock::now() < deadline) {
            const size_t nl = outText_.find('\n');
            if (nl != std::string::npos) {
                std::string line = outText_.substr(0, nl);
                outText_.erase(0, nl + 1);
                return line;
            }
            if (!ReadSome(out_, &outText_, 100)) break;
        }
        return {};
    }

    // Exit code after a signal (or on its own, with signal 0); -1 if it hangs.
    int Stop(int signal) {
        if (signal != 0) ::kill(pid_, signal);
        const auto deadline = Clock::now() + kPatience;
        int status = 0;
        while (Clock::now() < deadline) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                while (ReadSome(out_, &outText_, 0)) {
                }
                while (ReadSome(err_, &errText_, 0)) {
                }
                return status_;
            }
            ReadSome(out_, &outText_, 10);
            ReadSome(err_, &errText_, 10);
        }
        return -1;
    }

    void Signal(int signal) const { ::kill(pid_, signal); }
    const std::string& RestOfOutput() const { return outText_; }
    const std::string& ErrorOutput() const { return errText_; }

private:
    static bool ReadSome(int fd, std::string* into, int timeoutMs) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0) return timeoutMs > 0;
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        into->append(buf, static_cast<size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
    int status_ = -1;
    std::string outText_, errText_;
};

// The console's side of the line: the alias opened raw and non-blocking.
class ConsoleEnd {
public:
    // Locked and exclusive by default, as the console opens its port.
    explicit ConsoleEnd(const std::string& path, bool exclusive = true)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios t{};
        if (fd_ >= 0 && exclusive) {
            ::flock(fd_, LOCK_EX | LOCK_NB);
            ::ioctl(fd_, TIOCEXCL);
        }
        if (fd_ >= 0 && ::tcgetattr(fd_, &t) == 0) {
            ::cfmakeraw(&t);
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

class DetectorProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/quillane-detector-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home_ = pattern;
    }
    void TearDown() override { fs::remove_all(home_); }
    std::string Alias(int n) const { return home_ + "/quillane/ports/COM" + std::to_string(n); }

    std::string home_;
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
    DetectorProcess p(home_, {"--com", "7", "-q", "-v", "--stats-file", stats});
    const std::string line = p.ReadLine();
    ASSERT_EQ(line.rfind("port COM7 /dev/", 0), 0u) << line << p.ErrorOutput();
    const std::string device = line.substr(std::string("port COM7 ").size());
    EXPECT_EQ(fs::read_symlink(Alias(7)).string(), device);

    {
        // Another program looking at the line, without holding it.
        ConsoleEnd onlooker(Alias(7), false);
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
    // Only the frames sent while the console had its port open count as held.
    const long long sent = Stat(stats, "sent"), held = Stat(stats, "held frames");
    EXPECT_GT(held, 0);
    EXPECT_LT(held, sent);
    EXPECT_EQ(Stat(stats, "commands"), 2);
    EXPECT_GT(Stat(stats, "rejected commands"), 4000);
}

// First a hang-up on its own timer, then one on demand (SIGUSR1) at a moment
// the test chooses, so that the old end is surely open when the line drops.
TEST_F(DetectorProcessTest, HangUpKillsTheOldDeviceAndOffersANewOne) {
    DetectorProcess p(home_, {"--com", "8", "-q", "--hangup-after", "0.3"});
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
// console that dies without clearing it would shut every later console out.
TEST_F(DetectorProcessTest, ConsoleThatDiesLeavesTheLineOpenForTheNext) {
    DetectorProcess p(home_, {"--com", "11", "-q"});
    ASSERT_EQ(p.ReadLine().rfind("port COM11 ", 0), 0u) << p.ErrorOutput();
    // Opened first: a later open of an exclusive line is refused to all but root.
    ConsoleEnd onlooker(Alias(11), false);
    ASSERT_TRUE(onlooker.IsOpen());
    ConsoleEnd dying(Alias(11));
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
    DetectorProcess p(home_, {"-q", "--duration", "0.2", "--stats-file", home_ + "/stats"});
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
        DetectorProcess p(home_, {"--com", "9", "-q", "--duration", "0.2"});
        EXPECT_EQ(p.ReadLine().rfind("port COM9 ", 0), 0u) << p.ErrorOutput();
        EXPECT_EQ(p.Stop(0), 0);
    }
    DetectorProcess p(home_, {"--com", "10", "-q"});
    EXPECT_EQ(p.Stop(0), 1);
    EXPECT_NE(p.ErrorOutput().find("is taken"), std::string::npos) << p.ErrorOutput();
    EXPECT_EQ(fs::read_symlink(Alias(10)).string(), "/dev/null");
}

TEST_F(DetectorProcessTest, BadOptionExitsWithTwoAndSaysWhy) {
    DetectorProcess p(home_, {"--rate", "5000"});
    EXPECT_EQ(p.Stop(0), 2);
    EXPECT_NE(p.ErrorOutput().find("--rate '5000'"), std::string::npos) << p.ErrorOutput();
    EXPECT_FALSE(fs::exists(home_ + "/quillane"));
}

}  // namespace
}  // namespace quillane
