// The phone view's server on this machine's loopback, as a phone and as
// anyone else on the network would meet it. Times are shortened by the
// limits; every wait is for an answer or a close, bounded against a hang.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "remote/ViewServer.h"
#include "remote/ViewSocket.h"
#include "remote/ViewToken.h"

namespace quillane::test {
namespace {

// A client that speaks plain bytes to a server on this machine's loopback,
// so that a test can send what no browser would: a path left as it is, a
// head that never ends, a body. Reads wait for the server, bounded against
// a hang.
class RawClient {
public:
    explicit RawClient(int port, int receiveBuffer = 0) : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (receiveBuffer > 0)
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawClient() { Close(); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool Connected() const { return connected_; }
    const std::string& Received() const { return received_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool Send(const std::string& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
            if (n <= 0) return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }
    // Whether `needle` arrives before the server closes or `ms` pass; an
    // empty needle reads until then.
    bool Awaits(const std::string& needle, int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (needle.empty() || received_.find(needle) == std::string::npos)
            if (!ReadSome(end)) return false;
        return true;
    }
    // Everything until the server closes (or `ms` pass).
    const std::string& ReadAll(int ms) {
        Awaits("", ms);
        return received_;
    }
    // Whether the server closed the connection (end or reset) within `ms`.
    bool ClosedWithin(int ms) {
        ReadAll(ms);
        return closed_;
    }

private:
    // One read, waiting until `end`; false once nothing more will come.
    bool ReadSome(std::chrono::steady_clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        pollfd p{fd_, POLLIN, 0};
        if (closed_ || left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        closed_ = n <= 0;
        if (n > 0) received_.append(buffer, static_cast<std::size_t>(n));
        return n > 0;
    }

    int fd_;
    bool connected_ = false;
    bool closed_ = false;
    std::string received_;
};

// The status code of a response's first line; 0 when there is none.
int StatusOf(const std::string& response) {
    if (response.rfind("HTTP/1.1 ", 0) != 0 || response.size() < 12) return 0;
    return std::stoi(response.substr(9, 3));
}

// The body of a whole response (after the blank line).
std::string BodyOf(const std::string& response) {
    const std::size_t at = response.find("\r\n\r\n");
    return at == std::string::npos ? std::string() : response.substr(at + 4);
}

constexpr int kBound = 5000;  // ms: against a hang only

struct ViewServerTest : ::testing::Test {
    void SetUp() override { Share(Limits()); }
    static ViewLimits Limits() {
        ViewLimits l;
        l.headMs = 600;
        l.writeMs = 300;
        l.heartbeatMs = 200;
        return l;
    }
    void Share(ViewLimits limits) {
        server = std::make_unique<ViewServer>(limits);
        std::string error;
        ASSERT_TRUE(server->Start(0, error)) << error;
        server->Publish(R"({"n":1})");
    }
    std::string Ask(const std::string& request) {
        RawClient c(server->Port());
        return c.Connected() && c.Send(request) ? c.ReadAll(kBound) : std::string();
    }
    std::string Get(const std::string& target) {
        return Ask("GET " + target + " HTTP/1.1\r\nHost: phone\r\n\r\n");
    }
    // A stream whose head has been answered.
    std::unique_ptr<RawClient> Stream(int receiveBuffer = 0) {
        auto c = std::make_unique<RawClient>(server->Port(), receiveBuffer);
        c->Send("GET /" + server->Token() + "/events HTTP/1.1\r\nHost: phone\r\n\r\n");
        c->Awaits("\r\n\r\n", kBound);
        return c;
    }
    // Waits until the server counts `n` live streams, publishing something
    // new now and then so that a stream whose phone went away finds out.
    bool ViewersBecome(int n) {
        for (int i = 0; i < kBound / 10; ++i) {
            if (server->Viewers() == n) return true;
            server->Publish(R"({"tick":)" + std::to_string(i) + "}");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    std::unique_ptr<ViewServer> server;
};

TEST_F(ViewServerTest, AnswersOnlyWhatCarriesTheTokenAndAsksNothingMore) {
    const std::string t = server->Token();
    const std::string head = " HTTP/1.1\r\nHost: phone\r\n", page = "/" + t + "/" + head;
    std::string other = t, manyLines;
    other[0] = other[0] == 'a' ? 'b' : 'a';
    for (int i = 0; i < 40; ++i)
        manyLines += "X-Filler-" + std::to_string(i) + ": " + std::string(500, 'f') + "\r\n";
    const struct {
        const char* what;
        std::string request;
        int status;
    } cases[] = {
        {"no token", "GET /" + head + "\r\n", 403},
        {"no token, the stream", "GET /events" + head + "\r\n", 403},
        {"a wrong token", "GET /" + other + "/" + head + "\r\n", 403},
        {"the token one digit short", "GET /" + t.substr(1) + "/" + head + "\r\n", 403},
        {"the token in capitals", "GET /" + std::string(32, 'A') + "/" + head + "\r\n", 403},
        {"the token as a query", "GET /?token=" + t + head + "\r\n", 403},
        {"a body without the token", "POST /" + head + "Content-Length: 4\r\n\r\nabcd", 403},
        {"a climb before the token", "GET /../" + t + "/" + head + "\r\n", 403},
        {"a climb after the token", "GET /" + t + "/../" + t + "/" + head + "\r\n", 404},
        {"an encoded climb", "GET /" + t + "/%2e%2e/%2e%2e/etc/passwd" + head + "\r\n", 404},
        {"a file beside the page", "GET /" + t + "/view.html" + head + "\r\n", 404},
        {"a listing", "GET /" + t + "/events/" + head + "\r\n", 404},
        {"a declared body", "POST " + page + "Content-Length: 4\r\n\r\nabcd", 413},
        {"a body on GET", "GET " + page + "Content-Length: 4\r\n\r\nabcd", 413},
        {"chunked", "POST " + page + "Transfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n",
         400},
        {"a length that is no number", "GET " + page + "Content-Length: x\r\n\r\n", 400},
        {"two lengths", "GET " + page + "Content-Length: 0\r\nContent-length: 4\r\n\r\nabcd", 400},
        {"another method", "DELETE " + page + "\r\n", 405},
        {"a line too long", "GET " + page + "X-Long: " + std::string(9000, 'a') + "\r\n\r\n", 400},
        {"a head too long in all", "GET " + page + manyLines + "\r\n", 400},
        {"the bare token", "GET /" + t + head + "\r\n", 301},
        {"the page", "GET " + page + "\r\n", 200},
        {"an empty length", "GET " + page + "Content-Length: 0\r\n\r\n", 200},
    };
    for (const auto& c : cases) {
        const std::string response = Ask(c.request);
        EXPECT_EQ(StatusOf(response), c.status) << c.what << ":\n" << response.substr(0, 200);
        if (c.status >= 400) {
            EXPECT_EQ(BodyOf(response), "") << c.what;
        }
    }
    EXPECT_NE(Get("/" + t).find("Location: /" + t + "/\r\n"), std::string::npos);
}

TEST_F(ViewServerTest, ThePageNeedsNothingFromOutsideAndItsStreamEachSnapshot) {
    const std::string response = Get("/" + server->Token() + "/");
    ASSERT_EQ(StatusOf(response), 200);
    EXPECT_NE(response.find("Content-Type: text/html"), std::string::npos);
    EXPECT_NE(response.find("Content-Security-Policy: default-src 'none'"), std::string::npos);
    const std::string page = BodyOf(response);
    EXPECT_NE(page.find("new EventSource('events')"), std::string::npos);
    // No web font, framework or picture fetched from anywhere.
    for (const char* outside : {"http:", "https:", "://", "@import", "url(", " src="})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    // The stream: the latest snapshot at once, then each new one.
    auto phone = Stream();
    EXPECT_EQ(StatusOf(phone->Received()), 200);
    EXPECT_NE(phone->Received().find("Content-Type: text/event-stream"), std::string::npos);
    EXPECT_TRUE(phone->Awaits("data: {\"n\":1}\n\n", kBound));
    server->Publish(R"({"n":2})");
    EXPECT_TRUE(phone->Awaits("data: {\"n\":2}\n\n", kBound));
}

// The port stays the sharing's own; a new sharing on it has a new token.
TEST_F(ViewServerTest, NoSecondServerOnThePortAndNoTokenOfAnEarlierSharing) {
    const std::string earlier = server->Token();
    const int port = server->Port();
    ViewServer other;
    std::string error;
    EXPECT_FALSE(other.Start(port, error));
    EXPECT_NE(error.find(std::to_string(port)), std::string::npos);
    ASSERT_TRUE(server->Start(port, error)) << error;
    ASSERT_EQ(server->Port(), port);
    EXPECT_NE(server->Token(), earlier);
    EXPECT_EQ(StatusOf(Get("/" + earlier + "/")), 403);
    EXPECT_EQ(StatusOf(Get("/" + earlier + "/events")), 403);
    EXPECT_EQ(StatusOf(Get("/" + server->Token() + "/")), 200);
}

TEST_F(ViewServerTest, AHandfulOfViewersAtOnceAndNoMore) {
    std::vector<std::unique_ptr<RawClient>> phones;
    for (int i = 0; i < 5; ++i) {
        phones.push_back(Stream());
        ASSERT_EQ(StatusOf(phones.back()->Received()), 200) << i;
    }
    EXPECT_EQ(server->Viewers(), 5);
    EXPECT_EQ(StatusOf(Get("/" + server->Token() + "/events")), 503);
    // The page itself still loads: it is not a viewer until it streams.
    EXPECT_EQ(StatusOf(Get("/" + server->Token() + "/")), 200);
    phones.front()->Close();
    ASSERT_TRUE(ViewersBecome(4));
    phones.push_back(Stream());
    EXPECT_EQ(StatusOf(phones.back()->Received()), 200);
}

TEST_F(ViewServerTest, FiftyConnectionsAtOnceAreBoundedAndLeaveItServing) {
    // Heads given time enough that every connection of the burst arrives
    // while the first ones still hold their threads.
    ViewLimits limits = Limits();
    limits.headMs = 3000;
    Share(limits);
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 0; i < 50; ++i) crowd.push_back(std::make_unique<RawClient>(server->Port()));
    int busy = 0;
    for (auto& c : crowd) {
        ASSERT_TRUE(c->Connected());
        // Each one either is turned away at once or waits out its head's time.
        ASSERT_TRUE(c->ClosedWithin(kBound));
        busy += StatusOf(c->Received()) == 503;
    }
    EXPECT_GE(busy, 50 - limits.connections);
    EXPECT_EQ(StatusOf(Get("/" + server->Token() + "/")), 200);
}

TEST_F(ViewServerTest, AClientTricklingItsHeadIsCutOff) {
    RawClient loris(server->Port());
    ASSERT_TRUE(loris.Send("GET /" + server->Token() + "/ HTTP/1.1\r\n"));
    // A header byte every 50 ms, well within a single read's patience, for
    // ten times the whole head's time unless the server ends it first.
    bool cutOff = false;
    for (int i = 0; i < 10 * Limits().headMs / 50 && !cutOff; ++i)
        cutOff = !loris.Send("X") || loris.ClosedWithin(50);
    EXPECT_TRUE(cutOff);
    EXPECT_NE(StatusOf(loris.Received()), 200);
    EXPECT_EQ(StatusOf(Get("/" + server->Token() + "/")), 200);
}

TEST_F(ViewServerTest, AStalledViewerIsDroppedWhileTheOthersGoOn) {
    auto stalled = Stream(4096);  // reads nothing from here on
    auto phone = Stream();
    ASSERT_EQ(server->Viewers(), 2);
    // Snapshots far larger than any socket buffer, each one new; publishing
    // them only replaces the latest, whoever is behind.
    const std::string big(256 * 1024, 'x');
    const auto bound = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBound);
    for (int i = 0; server->Viewers() == 2 && std::chrono::steady_clock::now() < bound; ++i) {
        server->Publish("{\"n\":" + std::to_string(i) + ",\"pad\":\"" + big + "\"}");
        phone->ReadAll(10);  // the live phone takes everything
    }
    EXPECT_EQ(server->Viewers(), 1);
    server->Publish(R"({"last":true})");
    EXPECT_TRUE(phone->Awaits("{\"last\":true}", kBound));
}

TEST_F(ViewServerTest, StoppingEndsEveryConnectionAtOnceAndListensNoMore) {
    const int port = server->Port();
    auto a = Stream();
    auto b = Stream();
    RawClient halfHead(port);
    ASSERT_TRUE(halfHead.Send("GET /"));
    ASSERT_EQ(server->Viewers(), 2);
    auto stopped = std::async(std::launch::async, [&] { server->Stop(); });
    ASSERT_EQ(stopped.wait_for(std::chrono::milliseconds(kBound)), std::future_status::ready);
    // Already closed when Stop returned: nothing is left to wait for.
    EXPECT_TRUE(a->ClosedWithin(0) || a->ClosedWithin(100));
    EXPECT_TRUE(b->ClosedWithin(100));
    EXPECT_TRUE(halfHead.ClosedWithin(100));
    EXPECT_FALSE(RawClient(port).Connected());
    EXPECT_FALSE(server->Running());
}

// Wrong, short and other tokens are the server's table; here what it cannot see.
TEST(ViewToken, IsNewEachTimeAndAnEmptyOneMatchesNothing) {
    const std::optional<std::string> a = NewViewToken(), b = NewViewToken();
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(a->size(), kViewTokenDigits);
    EXPECT_EQ(a->find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_FALSE(TokenMatches("", ""));
}

TEST(ViewSocket, OffersNoLoopbackAddress) {
    for (const std::string& a : viewsocket::LocalIpv4Addresses())
        EXPECT_NE(a.rfind("127.", 0), 0u) << a;
}

}  // namespace
}  // namespace quillane::test
