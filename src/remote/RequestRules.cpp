#include "remote/RequestRules.h"

#include <httplib.h>

#include "remote/ViewToken.h"

namespace quillane {
namespace {

constexpr std::string_view kEvents = "events";

RequestVerdict Verdict(int status, ViewResource resource = ViewResource::None) {
    return {status, resource};
}

// "/<token>" followed by what comes after it, if the first segment is the token.
std::optional<std::string_view> AfterToken(std::string_view path, std::string_view token) {
    if (path.empty() || path.front() != '/') return std::nullopt;
    path.remove_prefix(1);
    const std::size_t end = path.find('/');
    const std::string_view first = path.substr(0, end);
    if (!TokenMatches(first, token)) return std::nullopt;
    return end == std::string_view::npos ? std::string_view() : path.substr(end);
}

}  // namespace

RequestVerdict JudgeRequest(const RequestFacts& request, std::string_view token) {
    const std::optional<std::string_view> rest = AfterToken(request.path, token);
    if (!rest) return Verdict(403);
    if (request.transferEncoding) return Verdict(400);
    if (request.contentLength) {
        const std::string& length = *request.contentLength;
        if (length.empty() || length.find_first_not_of("0123456789") != std::string::npos)
            return Verdict(400);
        if (length.find_first_not_of('0') != std::string::npos) return Verdict(413);
    }
    if (request.method != "GET") return Verdict(405);
    if (rest->empty()) return Verdict(301, ViewResource::ToPage);
    if (*rest == "/") return Verdict(200, ViewResource::Page);
    if (rest->substr(1) == kEvents) return Verdict(200, ViewResource::Events);
    return Verdict(404);
}

RequestFacts FactsOf(const httplib::Request& request) {
    RequestFacts facts;
    facts.method = request.method;
    facts.path = request.path;
    // A length named twice is folded as HTTP folds a repeated header, which
    // no length reads as: two lengths are framing the view does not take,
    // even where the library would read the first and leave the rest.
    const std::size_t lengths = request.get_header_value_count("Content-Length");
    for (std::size_t i = 0; i < lengths; ++i) {
        facts.contentLength = facts.contentLength ? *facts.contentLength + ", " : std::string();
        *facts.contentLength += request.get_header_value("Content-Length", i);
    }
    facts.transferEncoding = request.has_header("Transfer-Encoding");
    return facts;
}

}  // namespace quillane
