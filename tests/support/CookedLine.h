#pragma once

#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "Pty.h"

namespace quillane::test {

// A Pty in line mode at 9600 with a line of input nobody has
// read, as a login prompt or a terminal program leaves a serial port. With a
// holder, a child process named "line-holder" keeps the device open without
// a lock; with the far end, it keeps the master too, as the virtual detector
// does. The test keeps both ends itself, to look at the line afterwards.
class CookedLine : public Pty {
public:
    enum Holder { kNobody, kHolder, kHolderWithFarEnd };
    static constexpr const char* kUnread = "unread line\n";

    explicit CookedLine(Holder holder) {
        termios t{};
        ::tcgetattr(slave, &t);
        t.c_lflag |= ICANON | ECHO | ISIG;
        t.c_iflag |= ICRNL;
        ::cfsetspeed(&t, B9600);
        ::tcsetattr(slave, TCSANOW, &t);
        ::write(master, kUnread, std::strlen(kUnread));
        // The terminal takes the line in on its own time; it counts as
        // unread input once the slave has it.
        WaitReadable(slave, 5000);
        if (holder != kNobody) StartHolder(holder == kHolderWithFarEnd);
        found_ = Settings();
        unread_ = Unread();
    }
    ~CookedLine() {
        if (pid > 0) {
            ::close(release_);
            ::waitpid(pid, nullptr, 0);
        }
    }
    CookedLine(const CookedLine&) = delete;
    CookedLine& operator=(const CookedLine&) = delete;

    termios Settings() const {
        termios t{};
        ::tcgetattr(slave, &t);
        return t;
    }
    static bool Same(const termios& a, const termios& b) {
        return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
               a.c_lflag == b.c_lflag && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0 &&
               ::cfgetispeed(&a) == ::cfgetispeed(&b) && ::cfgetospeed(&a) == ::cfgetospeed(&b);
    }
    int Unread() const {
        int n = -1;
        ::ioctl(slave, FIONREAD, &n);
        return n;
    }
    bool Exclusive() const {
        int flag = 0;
        ::ioctl(slave, TIOCGEXCL, &flag);
        return flag != 0;
    }
    // Settings, unread input and exclusive flag as the line was made.
    bool Untouched() const {
        return Same(Settings(), found_) && Unread() == unread_ && !Exclusive();
    }
    int UnreadAtStart() const { return unread_; }
    // The line as the holder would read it now.
    std::string ReadLine() const {
        char buffer[128];
        const ssize_t n = ::read(slave, buffer, sizeof buffer);
        return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
    }

    pid_t pid = -1;

private:
    // The child tells when it runs under its name and then waits for the
    // test to let go; it never reads the line.
    void StartHolder(bool farEnd) {
        int ready[2], hold[2];
        if (::pipe(ready) != 0 || ::pipe(hold) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::close(ready[0]);
            ::close(hold[1]);  // the test's end: its closing is the signal to go
            if (!farEnd) ::close(master);
            ::prctl(PR_SET_NAME, "line-holder");
            char c = 'r';
            ::write(ready[1], &c, 1);
            ::read(hold[0], &c, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        char c = 0;
        ::read(ready[0], &c, 1);
        ::close(ready[0]);
        release_ = hold[1];
    }

    int release_ = -1;
    termios found_{};
    int unread_ = 0;
};

}  // namespace quillane::test
