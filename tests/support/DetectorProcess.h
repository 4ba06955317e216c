#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace quillane::test {

// The virtual detector program as a child process, with its standard output
// and error collected. It inherits the environment, so a PtySandbox in the
// test puts its port aliases where the console looks for them. Waits are
// bounded against a hang (15 s, generous for a loaded build machine); a
// working detector answers within milliseconds.
class DetectorProcess {
public:
    explicit DetectorProcess(const std::vector<std::string>& args);
    ~DetectorProcess();
    DetectorProcess(const DetectorProcess&) = delete;
    DetectorProcess& operator=(const DetectorProcess&) = delete;

    // The next line of standard output not read yet; empty when none came.
    std::string ReadLine();
    // Everything printed on standard output so far; does not wait.
    const std::string& Output();
    // What ReadLine has not taken yet.
    std::string RestOfOutput() const { return out_.substr(lineStart_); }
    const std::string& ErrorOutput() const { return err_; }

    bool Running();
    void Signal(int signal) const;
    // Exit code after `signal` (0 sends none and waits for the program to end
    // on its own); 128 + the signal after a fatal one; -1 when it hangs.
    int Stop(int signal);

private:
    void Reap(int status);
    static bool ReadSome(int fd, std::string& into, int timeoutMs);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    int status_ = -1;
    std::string out_;
    std::string err_;
    std::size_t lineStart_ = 0;
};

}  // namespace quillane::test
