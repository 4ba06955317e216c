#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace quillane {

// A throw-away XDG_CONFIG_HOME with an empty port alias folder and an empty
// device root, so that no test ever reaches a real serial device. The
// previous XDG_CONFIG_HOME comes back on destruction.
class LinkSandbox {
public:
    LinkSandbox() {
        char pattern[] = "/tmp/quillane-link-XXXXXX";
        root_ = ::mkdtemp(pattern);
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) savedXdg_ = old;
        ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
        std::filesystem::create_directories(AliasDir());
        std::filesystem::create_directories(DeviceRoot());
    }
    ~LinkSandbox() {
        if (savedXdg_) {
            ::setenv("XDG_CONFIG_HOME", savedXdg_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
        std::error_code ec;
        std::filesystem::remove_all(root_, ec);
    }
    LinkSandbox(const LinkSandbox&) = delete;
    LinkSandbox& operator=(const LinkSandbox&) = delete;

    std::filesystem::path Root() const { return root_; }
    std::filesystem::path AliasDir() const { return root_ / "config" / "quillane" / "ports"; }
    std::string DeviceRoot() const { return (root_ / "dev").string(); }
    std::string Alias(int number, const std::string& target) const {
        const auto path = AliasDir() / ("COM" + std::to_string(number));
        std::filesystem::create_symlink(target, path);
        return path.string();
    }

private:
    std::filesystem::path root_;
    std::optional<std::string> savedXdg_;
};

// A pseudo-terminal standing in for the detector's line: the console opens
// the slave through an alias, the test plays the detector on the master.
struct Pty {
    Pty() { ::openpty(&master, &slave, name, nullptr, nullptr); }
    ~Pty() {
        CloseMaster();
        ::close(slave);
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    void CloseMaster() {
        if (master >= 0) ::close(master);
        master = -1;
    }
    static bool WaitReadable(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 2000) > 0;
    }
    int master = -1;
    int slave = -1;
    char name[128] = {};
};

}  // namespace quillane
