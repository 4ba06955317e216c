#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
}

namespace quillane {

// What the view serves: its one page, that page's stream of snapshots, or a
// pointer from the bare token to the page (whose stream address is relative).
enum class ViewResource { None, Page, Events, ToPage };

// The parts of a request the rules look at, as the server parsed them.
struct RequestFacts {
    std::string method;
    std::string path;                          // decoded, without the query
    std::optional<std::string> contentLength;  // every value, joined by ", "
    bool transferEncoding = false;
};

struct RequestVerdict {
    int status = 403;
    ViewResource resource = ViewResource::None;
};

// The view is read-only and private. Without the token every request gets
// 403 and nothing else, whatever else it asks; with it, a request that brings
// a body gets 413 (declared length) or 400 (any other framing), a method
// other than GET 405, and any path but the page's own 404. There is no
// listing and no file behind any path.
RequestVerdict JudgeRequest(const RequestFacts& request, std::string_view token);

// The facts of a request as the HTTP library parsed it.
RequestFacts FactsOf(const httplib::Request& request);

}  // namespace quillane
