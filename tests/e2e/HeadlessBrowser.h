#pragma once

#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace quillane::test {

// Debian's chromium, headless, driven through its DevTools protocol over a
// pipe (no port, no package from the network): one page at a phone's size
// (CSS pixels, at twice the density), read as a person reads it, through the
// texts of its elements. It runs on a fresh profile without background
// traffic. While it waits for the browser, the Qt event loop keeps running,
// so that a console in this process goes on serving it. Waits are bounded
// against a hang.
class HeadlessBrowser {
public:
    HeadlessBrowser(int width, int height);
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser&) = delete;
    HeadlessBrowser& operator=(const HeadlessBrowser&) = delete;

    bool Started() const { return !session_.empty(); }
    // Why it did not start, with the browser's own output.
    std::string Problem() const;

    // Loads `url` in the page and waits until it has loaded.
    bool Open(const std::string& url);
    // The value of a JavaScript expression evaluated in the page.
    std::optional<nlohmann::json> Evaluate(const std::string& expression);
    // The text an element shows; empty when there is no such element.
    std::string Text(const std::string& elementId);
    // The page as a PNG file.
    bool Screenshot(const std::string& path);

private:
    bool Launch(int width, int height);
    // A DevTools command and its result; none on an error or when the browser
    // is silent for too long.
    std::optional<nlohmann::json> Call(const std::string& method, const nlohmann::json& params,
                                       bool inPage = true);
    bool ReadMessage(std::string& message, int ms);

    pid_t pid_ = -1;
    int toBrowser_ = -1;
    int fromBrowser_ = -1;
    std::string profile_;
    std::string pending_;
    std::string session_;
    std::string problem_;
    int nextId_ = 1;
    bool gone_ = false;  // the browser closed its end of the pipe
};

}  // namespace quillane::test
