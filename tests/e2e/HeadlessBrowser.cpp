#include "HeadlessBrowser.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace quillane::test {
namespace {

constexpr int kAnswerMs = 30000;  // a loaded machine may take seconds to start it

std::string BrowserProgram() {
    if (const char* given = ::getenv("QUILLANE_CHROMIUM")) return given;
    return "/usr/bin/chromium";
}

void Write(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace

HeadlessBrowser::HeadlessBrowser(int width, int height) {
    char folder[] = "/tmp/quillane-browser.XXXXXX";
    if (::mkdtemp(folder)) profile_ = folder;
    if (!profile_.empty() && !Launch(width, height) && problem_.empty())
        problem_ = "the browser did not answer";
}

HeadlessBrowser::~HeadlessBrowser() {
    if (pid_ > 0) {
        if (toBrowser_ >= 0) Call("Browser.close", nlohmann::json::object(), false);
        // Bounded: a browser that does not close is ended.
        QElapsedTimer waited;
        waited.start();
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (waited.hasExpired(5000)) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            ::poll(nullptr, 0, 20);
        }
    }
    if (toBrowser_ >= 0) ::close(toBrowser_);
    if (fromBrowser_ >= 0) ::close(fromBrowser_);
    std::error_code ignored;
    if (!profile_.empty()) std::filesystem::remove_all(profile_, ignored);
}

std::string HeadlessBrowser::Problem() const {
    std::ifstream log(profile_ + "/browser.log");
    std::stringstream text;
    text << log.rdbuf();
    return problem_ + " (" + BrowserProgram() + "):\n" + text.str().substr(0, 4000);
}

bool HeadlessBrowser::Launch(int width, int height) {
    if (::access(BrowserProgram().c_str(), X_OK) != 0) {
        problem_ = "no browser: install chromium (scripts/install-deps)";
        return false;
    }
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) return false;
    const std::string log = profile_ + "/browser.log";
    const std::vector<std::string> args = {
        BrowserProgram(),
        "--headless",
        "--no-sandbox",
        "--disable-gpu",
        "--disable-background-networking",
        "--disable-component-update",
        "--disable-sync",
        "--disable-default-apps",
        "--disable-extensions",
        "--no-first-run",
        "--no-default-browser-check",
        "--mute-audio",
        "--user-data-dir=" + profile_,
        "--remote-debugging-pipe",
        "--window-size=" + std::to_string(width) + "," + std::to_string(height),
        "about:blank"};
    // Everything the child needs is made before the fork: the process has
    // other threads, and the child may only make system calls until exec.
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int logFd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    pid_ = ::fork();
    if (pid_ == 0) {
        // The browser reads commands on 3 and writes answers on 4.
        ::dup2(in[0], 3);
        ::dup2(out[1], 4);
        if (logFd >= 0) {
            ::dup2(logFd, 1);
            ::dup2(logFd, 2);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (logFd >= 0) ::close(logFd);
    ::close(in[0]);
    ::close(out[1]);
    toBrowser_ = in[1];
    fromBrowser_ = out[0];
    if (pid_ < 0) return false;

    const auto target = Call("Target.createTarget", {{"url", "about:blank"}}, false);
    if (!target) return false;
    const auto attached = Call("Target.attachToTarget",
                               {{"targetId", (*target)["targetId"]}, {"flatten", true}}, false);
    if (!attached) return false;
    session_ = (*attached)["sessionId"].get<std::string>();
    return Call("Emulation.setDeviceMetricsOverride",
                {{"width", width}, {"height", height}, {"deviceScaleFactor", 2}, {"mobile", true}})
        .has_value();
}

bool HeadlessBrowser::Open(const std::string& url) {
    if (!Started() || !Call("Page.navigate", {{"url", url}})) return false;
    QElapsedTimer waited;
    waited.start();
    while (!waited.hasExpired(kAnswerMs) && !gone_) {
        const auto state = Evaluate("document.readyState");
        if (state && *state == "complete") return true;
    }
    return false;
}

std::optional<nlohmann::json> HeadlessBrowser::Evaluate(const std::string& expression) {
    const auto result =
        Call("Runtime.evaluate", {{"expression", expression}, {"returnByValue", true}});
    if (!result || result->contains("exceptionDetails")) return std::nullopt;
    const nlohmann::json& value = (*result)["result"];
    if (!value.contains("value")) return nlohmann::json(nullptr);
    return value["value"];
}

std::string HeadlessBrowser::Text(const std::string& elementId) {
    const auto text =
        Evaluate("(document.getElementById('" + elementId + "') || {textContent: ''}).textContent");
    return text && text->is_string() ? text->get<std::string>() : std::string();
}

bool HeadlessBrowser::Screenshot(const std::string& path) {
    const auto shot = Call("Page.captureScreenshot", {{"format", "png"}});
    if (!shot) return false;
    const QByteArray png =
        QByteArray::fromBase64(QByteArray::fromStdString((*shot)["data"].get<std::string>()));
    std::ofstream(path, std::ios::binary).write(png.constData(), png.size());
    return true;
}

std::optional<nlohmann::json> HeadlessBrowser::Call(const std::string& method,
                                                    const nlohmann::json& params, bool inPage) {
    const int id = nextId_++;
    nlohmann::json command = {{"id", id}, {"method", method}, {"params", params}};
    if (inPage) command["sessionId"] = session_;
    Write(toBrowser_, command.dump() + '\0');
    QElapsedTimer waited;
    waited.start();
    std::string message;
    while (!waited.hasExpired(kAnswerMs) && !gone_) {
        if (!ReadMessage(message, 10)) continue;
        const nlohmann::json answer = nlohmann::json::parse(message, nullptr, false);
        // Events and answers to others go by.
        if (!answer.is_object() || !answer.contains("id") || answer["id"] != id) continue;
        if (answer.contains("error")) {
            problem_ = method + ": " + answer["error"].dump();
            return std::nullopt;
        }
        return answer["result"];
    }
    problem_ = method + (gone_ ? ": the browser ended" : ": no answer");
    return std::nullopt;
}

// One message (they end with a NUL), running the event loop while it waits.
bool HeadlessBrowser::ReadMessage(std::string& message, int ms) {
    for (;;) {
        const std::size_t end = pending_.find('\0');
        if (end != std::string::npos) {
            message = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, ms);
        pollfd p{fromBrowser_, POLLIN, 0};
        if (::poll(&p, 1, ms) <= 0) return false;
        char buffer[65536];
        const ssize_t n = ::read(fromBrowser_, buffer, sizeof buffer);
        if (n <= 0) {
            gone_ = true;
            return false;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

}  // namespace quillane::test
