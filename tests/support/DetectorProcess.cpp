#include "DetectorProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace quillane::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPatience = std::chrono::seconds(15);

}  // namespace

DetectorProcess::DetectorProcess(const std::vector<std::string>& args) {
    // Built before the fork: the child of a threaded test may only exec.
    std::vector<char*> argv{const_cast<char*>(QUILLANE_DETECTOR_PROGRAM)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]), ::close(out[1]);
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]), ::close(err[1]);
    outFd_ = out[0], errFd_ = err[0];
}

DetectorProcess::~DetectorProcess() {
    if (pid_ > 0 && status_ < 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0) ::close(outFd_);
    if (errFd_ >= 0) ::close(errFd_);
}

std::string DetectorProcess::ReadLine() {
    const auto deadline = Clock::now() + kPatience;
    while (Clock::now() < deadline) {
        const std::size_t nl = out_.find('\n', lineStart_);
        if (nl != std::string::npos) {
            std::string line = out_.substr(lineStart_, nl - lineStart_);
            lineStart_ = nl + 1;
            return line;
        }
        if (!ReadSome(outFd_, out_, 100)) break;
    }
    return {};
}

const std::string& DetectorProcess::Output() {
    while (ReadSome(outFd_, out_, 0)) {
    }
    return out_;
}

bool DetectorProcess::Running() {
    int status = 0;
    if (status_ < 0 && pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) Reap(status);
    return pid_ > 0 && status_ < 0;
}

void DetectorProcess::Signal(int signal) const {
    if (pid_ > 0 && status_ < 0) ::kill(pid_, signal);
}

int DetectorProcess::Stop(int signal) {
    if (signal != 0) Signal(signal);
    const auto deadline = Clock::now() + kPatience;
    while (Running() && Clock::now() < deadline) {
        ReadSome(outFd_, out_, 10);
        ReadSome(errFd_, err_, 10);
    }
    return status_;
}

void DetectorProcess::Reap(int status) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    while (ReadSome(outFd_, out_, 0)) {
    }
    while (ReadSome(errFd_, err_, 0)) {
    }
}

// False when nothing more can come: the pipe ended, or (without a wait)
// nothing is pending. A wait that runs out is not an end.
bool DetectorProcess::ReadSome(int fd, std::string& into, int timeoutMs) {
    if (fd < 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return timeoutMs > 0;
    char buf[4096];
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) return false;
    into.append(buf, static_cast<std::size_t>(n));
    return true;
}

}  // namespace quillane::test
