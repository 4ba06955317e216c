// Any request head, as a phone or anything else on the network might send
// it, read by the HTTP library exactly as the view's server reads it and
// judged by the view's rules. Only a GET of the token's page, of its stream
// or of the bare token, bringing no body, gets anything but an error; without
// the token a request gets 403 and nothing else; and what goes out is the
// status the rules gave.
//
// Input: the request's bytes, as they arrive on the connection.
#include <httplib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "remote/RequestRules.h"

namespace quillane {
namespace {

using fuzz::Check;

// The token of this run's view; the seeds carry it, so the fuzzer gets past it.
constexpr std::string_view kToken = "0123456789abcdef0123456789abcdef";

// One connection in memory: the request's bytes in, the answer's bytes out.
class Connection : public httplib::Stream {
public:
    Connection(const std::uint8_t* data, std::size_t size) : in_(data, size) {}
    bool is_readable() const override { return !in_.Done(); }
    bool is_writable() const override { return true; }
    ssize_t read(char* ptr, std::size_t size) override {
        return static_cast<ssize_t>(in_.Read(ptr, size));
    }
    ssize_t write(const char* ptr, std::size_t size) override {
        written.append(ptr, size);
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override {
        ip = "192.168.43.7";
        port = 50000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override {
        ip = "192.168.43.1";
        port = 8080;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

    std::string written;

private:
    fuzz::Input in_;
};

// The library's server with the view's settings, serving one connection.
class Server : public httplib::Server {
public:
    Server() {
        set_payload_max_length(0);
        set_keep_alive_max_count(1);
        set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
            const RequestFacts facts = FactsOf(req);
            const RequestVerdict verdict = JudgeRequest(facts, kToken);
            Judged(req, facts, verdict);
            res.status = verdict.status;
            if (verdict.resource == ViewResource::Page) res.set_content("page", "text/html");
            if (verdict.resource == ViewResource::ToPage)
                res.set_header("Location", "/" + std::string(kToken) + "/");
            last = verdict;
            return HandlerResponse::Handled;
        });
    }
    void Serve(Connection& connection) {
        bool closed = false;
        last.reset();
        process_request(connection, true, closed, nullptr);
    }
    std::optional<RequestVerdict> last;

private:
    static void Judged(const httplib::Request& req, const RequestFacts& facts,
                       const RequestVerdict& verdict) {
        const std::string root = "/" + std::string(kToken);
        const std::string& path = req.path;
        const bool ownToken = path == root || path.rfind(root + "/", 0) == 0;
        // The facts are the request's, whatever the case of the header names.
        Check(facts.method == req.method && facts.path == path);
        Check(facts.transferEncoding == req.has_header("transfer-encoding"));
        Check(facts.contentLength.has_value() == req.has_header("content-length"));
        if (!ownToken) {
            Check(verdict.status == 403 && verdict.resource == ViewResource::None);
            return;
        }
        // No body: no chunks, and no length but one of zeros.
        const std::size_t lengths = req.get_header_value_count("content-length");
        const std::string length = req.get_header_value("content-length");
        const bool noBody = !req.has_header("transfer-encoding") && lengths <= 1 &&
                            (lengths == 0 || (!length.empty() &&
                                              length.find_first_not_of('0') == std::string::npos));
        switch (verdict.status) {
            case 200:
                Check(req.method == "GET" && noBody);
                Check((path == root + "/" && verdict.resource == ViewResource::Page) ||
                      (path == root + "/events" && verdict.resource == ViewResource::Events));
                break;
            case 301:
                Check(req.method == "GET" && noBody && path == root &&
                      verdict.resource == ViewResource::ToPage);
                break;
            case 400:
            case 413:
                Check(!noBody && verdict.resource == ViewResource::None);
                break;
            case 404:
            case 405:
                Check(noBody && verdict.resource == ViewResource::None);
                Check((verdict.status == 405) == (req.method != "GET"));
                break;
            default:
                Check(false);
        }
    }
};

}  // namespace
}  // namespace quillane

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static quillane::Server server;
    quillane::Connection connection(data, size);
    server.Serve(connection);
    // What goes out is the status the rules gave; a request the library
    // turned away before them gets no success either.
    const std::string& out = connection.written;
    const std::size_t space = out.find(' ');
    if (space == std::string::npos) return 0;
    const int status = std::atoi(out.c_str() + space + 1);
    quillane::fuzz::Check(server.last ? status == server.last->status : status >= 400);
    return 0;
}
