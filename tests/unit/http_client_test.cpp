// The HTTP client: the request it sends, how it reads every kind of answer,
// and that no server can hold it past its time limit.
#include "online/http_client.hpp"

#include <gtest/gtest.h>

#include <chrono>

#include "support/http_test_server.hpp"
#include "online/strict_integer.hpp"
#include "online/version_check.hpp"

namespace kovan {
namespace {

using test::HttpTestServer;
using namespace std::chrono_literals;

TEST(HttpClient, SendsExactlyTheVersionRequest) {
  EXPECT_EQ(BuildGetRequest({"www.rirudir.com", 80}, kVersionFilePath),
            "GET /programlar/kovansurum.txt HTTP/1.1\r\n"
            "Host: www.rirudir.com\r\n"
            "Accept: text/html, */*\r\n"
            "Accept-Encoding: identity\r\n"
            "User-Agent: Mozilla/3.0 (compatible; Kovan 2.0)\r\n"
            "\r\n");

  HttpTestServer server(HttpTestServer::Answer("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n21"));
  EXPECT_EQ(FetchPublishedVersion({"127.0.0.1", server.Port()}), 21);
  EXPECT_EQ(server.Request(),
            "GET /programlar/kovansurum.txt HTTP/1.1\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(server.Port()) +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "Accept-Encoding: identity\r\n"
                "User-Agent: Mozilla/3.0 (compatible; Kovan 2.0)\r\n"
                "\r\n");
}

// Each answer goes over a real loopback connection; 0 marks a failure.
TEST(HttpClient, ReadsEachKindOfAnswer) {
  const struct {
    const char* name;
    std::string answer;
    int32_t version;
  } cases[] = {
      {"length", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n21", 21},
      {"chunked", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\n2\r\n1;x=y\r\n1\r\n0\r\nX-T: 1\r\n\r\n",
       21},
      {"close-delimited", "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n21", 21},
      {"continue first", "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n21", 21},
      {"lf line ends", "HTTP/1.1 200 OK\nContent-Length: 2\n\n21", 21},
      {"bytes after the body", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n219", 21},
      {"20", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n20", 20},
      {"leading blank", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n 21", 21},
      {"hex", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n$15", 21},
      {"204", "HTTP/1.1 204 No Content\r\n\r\n", 0},
      {"length 0", "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n21", 0},
      {"line break after", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n21\n", 21},
      {"decimal point", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n2.1", 0},
      {"empty", "HTTP/1.1 200 OK\r\n\r\n", 0},
      {"301", "HTTP/1.1 301 Moved\r\nLocation: http://127.0.0.1/x\r\nContent-Length: 2\r\n\r\n21", 0},
      {"200 with Location", "HTTP/1.1 200 OK\r\nLocation: /x\r\nContent-Length: 2\r\n\r\n21", 0},
      {"304", "HTTP/1.1 304 Not Modified\r\n\r\n", 0},
      {"404", "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\n21", 0},
      {"407", "HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 2\r\n\r\n21", 0},
      {"closed in the headers", "HTTP/1.1 200 OK\r\nContent-Len", 0},
      {"closed in the body", "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n21", 0},
      {"closed in a chunk", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n21\r\n", 0},
      {"no status line", "21", 0},
      {"nothing", "", 0},
  };
  for (const auto& c : cases) {
    HttpTestServer server(HttpTestServer::Answer(c.answer));
    int32_t version = 0;
    try {
      version = FetchPublishedVersion({"127.0.0.1", server.Port()});
    } catch (const std::exception& e) {
      EXPECT_EQ(c.version, 0) << c.name << ": " << e.what();
      continue;
    }
    EXPECT_EQ(version, c.version) << c.name;
  }
}

// A name goes through the lookup; it may yield ::1 first, where nobody
// listens, so the next address must be tried.
TEST(HttpClient, ConnectsByNameAndReportsRefusal) {
  HttpTestServer server(HttpTestServer::Answer("HTTP/1.1 200 OK\r\n\r\nhello"));
  EXPECT_EQ(HttpGet({"localhost", server.Port()}, "/", 3000ms).body, "hello");
  EXPECT_THROW(HttpGet({"127.0.0.1", HttpTestServer::ClosedPort()}, "/", 3000ms), HttpError);
}

// A server that accepts and then stalls, or feeds a byte a second without
// end, must not hold the check past its limit.
TEST(HttpClient, NoServerHoldsTheCheckPastItsTimeLimit) {
  const HttpTestServer::Script scripts[] = {
      [](HttpTestServer::Connection& c) { c.Hold(); },
      [](HttpTestServer::Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nX-Slow: ");
        while (c.Pause(1s)) c.Send("a");
      },
  };
  for (const auto& script : scripts) {
    HttpTestServer server(script);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(FetchPublishedVersion({"127.0.0.1", server.Port()}), HttpError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
  }
}

// Framing limits and malformed answers, straight from memory.
TEST(HttpResponseParser, EnforcesFramingAndLimits) {
  const std::string ok = "HTTP/1.1 200 OK\r\n";
  const std::string longLine = "X-Long: " + std::string(kMaxHttpLine - 8, 'a');
  const struct {
    const char* name;
    std::string answer;
    bool good;
    std::string body;
  } cases[] = {
      {"longest line", ok + longLine + "\r\n\r\n", true, ""},
      {"line one too long", ok + longLine + "a\r\n\r\n", false, ""},
      {"endless line", ok + std::string(100000, 'a'), false, ""},
      {"header block too large",
       ok +
           [] {
             std::string h;
             for (int i = 0; i < 5000; ++i) h += "X-Pad: 0123456789\r\n";
             return h;
           }() +
           "\r\n",
       false, ""},
      {"endless 100s",
       [] {
         std::string a;
         for (int i = 0; i < 5000; ++i) a += "HTTP/1.1 100 Continue\r\n\r\n";
         return a;
       }(),
       false, ""},
      {"body at the cap", ok + "\r\n" + std::string(kMaxHttpBody, 'b'), true, std::string(kMaxHttpBody, 'b')},
      {"body over the cap", ok + "\r\n" + std::string(kMaxHttpBody + 1, 'b'), false, ""},
      {"length over the cap", ok + "Content-Length: 65537\r\n\r\n", false, ""},
      {"length overflows", ok + "Content-Length: 99999999999999999999999\r\n\r\n", false, ""},
      {"length not a number", ok + "Content-Length: 2x\r\n\r\n21", false, ""},
      {"lengths disagree", ok + "Content-Length: 2\r\nContent-Length: 3\r\n\r\n213", false, ""},
      {"chunked wins over length",
       ok + "Content-Length: 9\r\nTransfer-Encoding: gzip, Chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n", true, "ab"},
      {"chunk size overflows", ok + "Transfer-Encoding: chunked\r\n\r\n10000000000000001\r\n", false, ""},
      {"chunks over the cap",
       ok + "Transfer-Encoding: chunked\r\n\r\n8000\r\n" + std::string(0x8000, 'c') + "\r\n8001\r\n", false, ""},
      {"chunk size not hex", ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\n", false, ""},
      {"chunk without line end", ok + "Transfer-Encoding: chunked\r\n\r\n1\r\nab\r\n0\r\n\r\n", false, ""},
      {"no final line after trailers", ok + "Transfer-Encoding: chunked\r\n\r\n0\r\n", false, ""},
      {"folded header", ok + "X-A: 1\r\n continued\r\n\r\n", false, ""},
      {"header without colon", ok + "Nonsense\r\n\r\n", false, ""},
      {"status without code", "HTTP/1.1 OK\r\n\r\n", false, ""},
      {"204 ignores a body", "HTTP/1.1 204 No Content\r\nContent-Length: 2\r\n\r\n21", true, ""},
  };
  for (const auto& c : cases) {
    try {
      const HttpResponse response = ParseHttpResponse(c.answer);
      EXPECT_TRUE(c.good) << c.name;
      EXPECT_EQ(response.body, c.body) << c.name;
    } catch (const HttpError& e) {
      EXPECT_FALSE(c.good) << c.name << ": " << e.what();
    }
  }
}

TEST(StrictToInt, AcceptsOnlyTheRuntimeForms) {
  // clang-format off
  const std::pair<const char*, std::optional<int32_t>> cases[] = {
      {"21", 21},             {"  21", 21},            {"+21", 21},             {"-21", -21},
      {"$15", 21},            {"x15", 21},             {"X15", 21},             {"0x15", 21},
      {"0X1f", 31},           {"-$15", -21},           {"0021", 21},            {"0", 0},
      {"2147483647", INT32_MAX},    {"-2147483648", INT32_MIN}, {"$7FFFFFFF", INT32_MAX},
      {"2147483648", std::nullopt}, {"$80000000", std::nullopt}, {"99999999999999999999", std::nullopt},
      {"", std::nullopt},     {" ", std::nullopt},     {"21\n", std::nullopt},  {"21 ", std::nullopt},
      {"\t21", std::nullopt},  {"2.1", std::nullopt},   {"$", std::nullopt},     {"0x", std::nullopt},
      {"+", std::nullopt},    {"- 21", std::nullopt},  {"1e3", std::nullopt},   {"$1g", std::nullopt},
      {"0x$1", std::nullopt}, {"++1", std::nullopt},
  };
  // clang-format on
  for (const auto& [text, value] : cases) EXPECT_EQ(StrictToInt(text), value) << '"' << text << '"';
  EXPECT_EQ(StrictToInt(std::string_view("21\0", 3)), std::nullopt);
}

}  // namespace
}  // namespace kovan
