#pragma once

#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "Pty.h"
#include "TempDir.h"

namespace quillane::test {

// A throw-away XDG_CONFIG_HOME (the console and the virtual detector find the
// port aliases below it) and an empty device root, so that no test ever
// reaches a real serial device. The alias folder is made with the first
// alias. The previous XDG_CONFIG_HOME comes back on destruction.
class PtySandbox {
public:
    PtySandbox() {
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) savedXdg_ = old;
        ::setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
        std::filesystem::create_directories(ConfigHome());
        std::filesystem::create_directories(DeviceRoot());
    }
    ~PtySandbox() {
        if (savedXdg_) {
            ::setenv("XDG_CONFIG_HOME", savedXdg_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }
    PtySandbox(const PtySandbox&) = delete;
    PtySandbox& operator=(const PtySandbox&) = delete;

    std::filesystem::path Root() const { return root_.Path(); }
    std::string ConfigHome() const { return root_.File("config"); }
    std::filesystem::path AliasDir() const {
        return std::filesystem::path(ConfigHome()) / "quillane" / "ports";
    }
    std::string AliasPath(int number) const {
        return (AliasDir() / ("COM" + std::to_string(number))).string();
    }
    std::string DeviceRoot() const { return root_.File("dev"); }
    // Links COM<number> to `target` (a pseudo-terminal, or anything at all).
    std::string Alias(int number, const std::string& target) const {
        std::filesystem::create_directories(AliasDir());
        std::filesystem::create_symlink(target, AliasPath(number));
        return AliasPath(number);
    }

private:
    TempDir root_;
    std::optional<std::string> savedXdg_;
};

}  // namespace quillane::test
