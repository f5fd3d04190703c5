// Reading an HTTP/1.1 answer. The reader pulls bytes from a ByteSource, so the
// same code runs over a socket and over a block of memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.hpp"

namespace kovan {

// Every way a request can fail: network, time, protocol. what() says which.
class HttpError : public Error {
 public:
  using Error::Error;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `capacity` bytes; 0 means the peer closed the connection.
  // Throws HttpError when the connection breaks or time runs out.
  virtual size_t Read(char* buffer, size_t capacity) = 0;
};

// Limits that keep a hostile or broken server from feeding us without end.
inline constexpr size_t kMaxHttpLine = 16384;             // characters, without the line end
inline constexpr size_t kMaxHttpHeaderBlock = 64 * 1024;  // status lines and headers together
inline constexpr size_t kMaxHttpBody = 64 * 1024;

struct HttpHeader {
  std::string name;
  std::string value;  // without surrounding blanks and tabs
};

// "HTTP/1.1 200 OK" -> 200. nullopt for anything that is not a status line.
std::optional<int> ParseStatusLine(std::string_view line);
// "Name: value" -> the pair; nullopt when there is no name or no colon.
std::optional<HttpHeader> ParseHeaderLine(std::string_view line);
// The size line of a chunk: hex digits, then optionally blanks and
// ";extensions". nullopt when malformed or too large for 64 bits.
std::optional<uint64_t> ParseChunkSize(std::string_view line);
// A Content-Length value: decimal digits only. nullopt when malformed or too
// large for 64 bits.
std::optional<uint64_t> ParseContentLength(std::string_view value);

struct HttpResponse {
  int status = 0;
  std::string body;
};

// Reads one answer. Status 100 is skipped; redirections (3xx except 304, or
// any Location header) and every status outside 2xx throw HttpError, as do
// over-long lines, oversized headers or bodies, malformed framing and a close
// before the answer is complete. The body is framed by chunked transfer
// coding, Content-Length, or the server's close; 204 and a length of 0 are empty.
HttpResponse ReadHttpResponse(ByteSource& source);

// The same over an answer already in memory; the end of `bytes` is the
// server's close.
HttpResponse ParseHttpResponse(std::string_view bytes);

}  // namespace kovan
