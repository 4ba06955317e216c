// The phone view's server on this machine's loopback, as a phone and as
// anyone else on the network would meet it. Times are shortened by the
// limits; every wait is for an answer or a close, bounded against a hang.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RawClient.h"
#include "remote/ViewServer.h"
#include "remote/ViewSocket.h"
#include "remote/ViewToken.h"

namespace quillane::test {
namespace {

constexpr int kBound = 5000;  // ms: against a hang only

ViewLimits TestLimits() {
    ViewLimits l;
    l.headMs = 600;
    l.writeMs = 300;
    l.heartbeatMs = 200;
    return l;
}

struct Sharing {
    explicit Sharing(ViewLimits limits = TestLimits()) : server(limits) {
        std::string error;
        started = server.Start(0, error);
        server.Publish(R"({"n":1})");
    }
    std::string Ask(const std::string& request) {
        RawClient c(server.Port());
        if (!c.Connected() || !c.Send(request)) return {};
        return c.ReadAll(kBound);
    }
    std::string Get(const std::string& target, const std::string& headers = "") {
        return Ask("GET " + target + " HTTP/1.1\r\nHost: phone\r\n" + headers + "\r\n");
    }
    // A stream whose head has been answered.
    std::unique_ptr<RawClient> Stream(int receiveBuffer = 0) {
        auto c = std::make_unique<RawClient>(server.Port(), receiveBuffer);
        c->Send("GET /" + server.Token() + "/events HTTP/1.1\r\nHost: phone\r\n\r\n");
        c->ReadUntil("\r\n\r\n", kBound);
        return c;
    }
    // Waits until the server counts `n` live streams, publishing something
    // new now and then so that a stream whose phone went away finds out.
    bool ViewersBecome(int n) {
        for (int i = 0; i < kBound / 10; ++i) {
            if (server.Viewers() == n) return true;
            server.Publish(R"({"tick":)" + std::to_string(i) + "}");
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    ViewServer server;
    bool started = false;
};

std::string OtherToken(const std::string& token) {
    std::string other = token;
    other[0] = other[0] == 'a' ? 'b' : 'a';
    return other;
}

TEST(ViewServer, AnswersOnlyWhatCarriesTheTokenAndAsksNothingMore) {
    Sharing s;
    ASSERT_TRUE(s.started);
    const std::string t = s.server.Token();
    const std::string head = " HTTP/1.1\r\nHost: phone\r\n";
    struct Case {
        const char* what;
        std::string request;
        int status;
    };
    std::string manyLines;
    for (int i = 0; i < 40; ++i)
        manyLines += "X-Filler-" + std::to_string(i) + ": " + std::string(500, 'f') + "\r\n";
    const Case cases[] = {
        {"no token", "GET /" + head + "\r\n", 403},
        {"no token, the stream", "GET /events" + head + "\r\n", 403},
        {"a wrong token", "GET /" + OtherToken(t) + "/" + head + "\r\n", 403},
        {"the token one digit short", "GET /" + t.substr(1) + "/" + head + "\r\n", 403},
        {"the token in capitals", "GET /" + std::string(32, 'A') + "/" + head + "\r\n", 403},
        {"the token as a query", "GET /?token=" + t + head + "\r\n", 403},
        {"a body without the token", "POST /" + head + "Content-Length: 4\r\n\r\nabcd", 403},
        {"a climb before the token", "GET /../" + t + "/" + head + "\r\n", 403},
        {"a climb after the token", "GET /" + t + "/../" + t + "/" + head + "\r\n", 404},
        {"an encoded climb", "GET /" + t + "/%2e%2e/%2e%2e/etc/passwd" + head + "\r\n", 404},
        {"a file beside the page", "GET /" + t + "/view.html" + head + "\r\n", 404},
        {"a listing", "GET /" + t + "/events/" + head + "\r\n", 404},
        {"a declared body", "POST /" + t + "/" + head + "Content-Length: 4\r\n\r\nabcd", 413},
        {"a body on GET", "GET /" + t + "/" + head + "Content-Length: 4\r\n\r\nabcd", 413},
        {"a chunked body",
         "POST /" + t + "/" + head + "Transfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n0\r\n\r\n",
         400},
        {"a length that is no number", "GET /" + t + "/" + head + "Content-Length: x\r\n\r\n", 400},
        {"two lengths, the second a body",
         "GET /" + t + "/" + head + "Content-Length: 0\r\nContent-length: 4\r\n\r\nabcd", 400},
        {"another method", "DELETE /" + t + "/" + head + "\r\n", 405},
        {"one header line too long",
         "GET /" + t + "/" + head + "X-Long: " + std::string(9000, 'a') + "\r\n\r\n", 400},
        {"a head too long in all", "GET /" + t + "/" + head + manyLines + "\r\n", 400},
        {"the bare token", "GET /" + t + head + "\r\n", 301},
        {"the page", "GET /" + t + "/" + head + "\r\n", 200},
        {"an empty length", "GET /" + t + "/" + head + "Content-Length: 0\r\n\r\n", 200},
    };
    for (const Case& c : cases) {
        const std::string response = s.Ask(c.request);
        EXPECT_EQ(StatusOf(response), c.status) << c.what << ":\n" << response.substr(0, 200);
        if (c.status >= 400) {
            EXPECT_EQ(BodyOf(response), "") << c.what;
        }
    }
    EXPECT_NE(s.Get("/" + t).find("Location: /" + t + "/\r\n"), std::string::npos);
}

TEST(ViewServer, ThePageNeedsNothingFromOutside) {
    Sharing s;
    ASSERT_TRUE(s.started);
    const std::string response = s.Get("/" + s.server.Token() + "/");
    ASSERT_EQ(StatusOf(response), 200);
    EXPECT_NE(response.find("Content-Type: text/html"), std::string::npos);
    EXPECT_NE(response.find("Content-Security-Policy: default-src 'none'"), std::string::npos);
    const std::string page = BodyOf(response);
    EXPECT_NE(page.find("new EventSource('events')"), std::string::npos);
    // No web font, framework or picture fetched from anywhere.
    for (const char* outside : {"http:", "https:", "://", "@import", "url(", " src="})
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
}

TEST(ViewServer, AStreamGetsTheLatestSnapshotAtOnceThenEachNewOne) {
    Sharing s;
    ASSERT_TRUE(s.started);
    auto phone = s.Stream();
    EXPECT_EQ(StatusOf(phone->Received()), 200);
    EXPECT_NE(phone->Received().find("Content-Type: text/event-stream"), std::string::npos);
    EXPECT_NE(phone->ReadUntil("data: {\"n\":1}\n\n", kBound).find("data: {\"n\":1}\n\n"),
              std::string::npos);
    s.server.Publish(R"({"n":2})");
    EXPECT_NE(phone->ReadUntil("data: {\"n\":2}\n\n", kBound).find("data: {\"n\":2}\n\n"),
              std::string::npos);
}

TEST(ViewServer, ATokenOfAnEarlierSharingOpensNothing) {
    Sharing s;
    ASSERT_TRUE(s.started);
    const std::string earlier = s.server.Token();
    const int port = s.server.Port();
    std::string error;
    ASSERT_TRUE(s.server.Start(port, error)) << error;
    ASSERT_EQ(s.server.Port(), port);
    EXPECT_NE(s.server.Token(), earlier);
    EXPECT_EQ(StatusOf(s.Get("/" + earlier + "/")), 403);
    EXPECT_EQ(StatusOf(s.Get("/" + earlier + "/events")), 403);
    EXPECT_EQ(StatusOf(s.Get("/" + s.server.Token() + "/")), 200);
}

TEST(ViewServer, AHandfulOfViewersAtOnceAndNoMore) {
    Sharing s;
    ASSERT_TRUE(s.started);
    std::vector<std::unique_ptr<RawClient>> phones;
    for (int i = 0; i < 5; ++i) {
        phones.push_back(s.Stream());
        ASSERT_EQ(StatusOf(phones.back()->Received()), 200) << i;
    }
    EXPECT_EQ(s.server.Viewers(), 5);
    EXPECT_EQ(StatusOf(s.Get("/" + s.server.Token() + "/events")), 503);
    // The page itself still loads: it is not a viewer until it streams.
    EXPECT_EQ(StatusOf(s.Get("/" + s.server.Token() + "/")), 200);
    phones.front()->Close();
    ASSERT_TRUE(s.ViewersBecome(4));
    phones.push_back(s.Stream());
    EXPECT_EQ(StatusOf(phones.back()->Received()), 200);
}

TEST(ViewServer, FiftyConnectionsAtOnceAreBoundedAndLeaveItServing) {
    // Heads given time enough that every connection of the burst arrives
    // while the first ones still hold their threads.
    ViewLimits limits = TestLimits();
    limits.headMs = 3000;
    Sharing s(limits);
    ASSERT_TRUE(s.started);
    std::vector<std::unique_ptr<RawClient>> crowd;
    for (int i = 0; i < 50; ++i) crowd.push_back(std::make_unique<RawClient>(s.server.Port()));
    int busy = 0, closed = 0;
    for (auto& c : crowd) {
        ASSERT_TRUE(c->Connected());
        // Each one either is turned away at once or waits out its head's time.
        ASSERT_TRUE(c->ClosedWithin(kBound));
        if (StatusOf(c->Received()) == 503) ++busy;
        ++closed;
    }
    EXPECT_EQ(closed, 50);
    EXPECT_GE(busy, 50 - limits.connections);
    EXPECT_EQ(StatusOf(s.Get("/" + s.server.Token() + "/")), 200);
}

TEST(ViewServer, AClientTricklingItsHeadIsCutOff) {
    Sharing s;
    ASSERT_TRUE(s.started);
    RawClient loris(s.server.Port());
    ASSERT_TRUE(loris.Send("GET /" + s.server.Token() + "/ HTTP/1.1\r\n"));
    // A header byte every 50 ms, well within a single read's patience, for
    // ten times the whole head's time unless the server ends it first.
    bool cutOff = false;
    for (int i = 0; i < 10 * TestLimits().headMs / 50 && !cutOff; ++i) {
        if (!loris.Send("X"))
            cutOff = true;
        else
            cutOff = loris.ClosedWithin(50);
    }
    EXPECT_TRUE(cutOff);
    EXPECT_NE(StatusOf(loris.Received()), 200);
    EXPECT_EQ(StatusOf(s.Get("/" + s.server.Token() + "/")), 200);
}

TEST(ViewServer, AStalledViewerIsDroppedWhileTheOthersGoOn) {
    Sharing s;
    ASSERT_TRUE(s.started);
    auto stalled = s.Stream(4096);  // reads nothing from here on
    auto phone = s.Stream();
    ASSERT_EQ(s.server.Viewers(), 2);
    // Snapshots far larger than any socket buffer, each one new; publishing
    // them only replaces the latest, whoever is behind.
    const std::string big(256 * 1024, 'x');
    const auto bound = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBound);
    for (int i = 0; s.server.Viewers() == 2 && std::chrono::steady_clock::now() < bound; ++i) {
        s.server.Publish("{\"n\":" + std::to_string(i) + ",\"pad\":\"" + big + "\"}");
        phone->ReadAll(10);  // the live phone takes everything
    }
    EXPECT_EQ(s.server.Viewers(), 1);
    s.server.Publish(R"({"last":true})");
    EXPECT_NE(phone->ReadUntil("{\"last\":true}", kBound).find("{\"last\":true}"),
              std::string::npos);
}

TEST(ViewServer, StoppingEndsEveryConnectionAtOnceAndListensNoMore) {
    Sharing s;
    ASSERT_TRUE(s.started);
    const int port = s.server.Port();
    auto a = s.Stream();
    auto b = s.Stream();
    RawClient halfHead(port);
    ASSERT_TRUE(halfHead.Send("GET /"));
    ASSERT_EQ(s.server.Viewers(), 2);
    auto stopped = std::async(std::launch::async, [&] { s.server.Stop(); });
    ASSERT_EQ(stopped.wait_for(std::chrono::milliseconds(kBound)), std::future_status::ready);
    // Already closed when Stop returned: nothing is left to wait for.
    EXPECT_TRUE(a->ClosedWithin(0) || a->ClosedWithin(100));
    EXPECT_TRUE(b->ClosedWithin(100));
    EXPECT_TRUE(halfHead.ClosedWithin(100));
    RawClient late(port);
    EXPECT_FALSE(late.Connected());
    EXPECT_FALSE(s.server.Running());
}

TEST(ViewServer, ASecondServerCannotTakeThePortOfTheFirst) {
    Sharing s;
    ASSERT_TRUE(s.started);
    ViewServer other;
    std::string error;
    EXPECT_FALSE(other.Start(s.server.Port(), error));
    EXPECT_NE(error.find(std::to_string(s.server.Port())), std::string::npos);
}

TEST(ViewToken, IsNewEachTimeAndMatchesOnlyItself) {
    const std::optional<std::string> a = NewViewToken();
    const std::optional<std::string> b = NewViewToken();
    ASSERT_TRUE(a && b);
    EXPECT_NE(*a, *b);
    EXPECT_EQ(a->size(), kViewTokenDigits);
    EXPECT_EQ(a->find_first_not_of("0123456789abcdef"), std::string::npos);
    EXPECT_TRUE(TokenMatches(*a, *a));
    EXPECT_FALSE(TokenMatches(*b, *a));
    EXPECT_FALSE(TokenMatches(a->substr(0, 31), *a));
    EXPECT_FALSE(TokenMatches("", ""));
}

TEST(ViewSocket, OffersNoLoopbackAddress) {
    for (const std::string& a : viewsocket::LocalIpv4Addresses()) {
        EXPECT_NE(a.rfind("127.", 0), 0u) << a;
    }
}

}  // namespace
}  // namespace quillane::test
