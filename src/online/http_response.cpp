#include "online/http_response.hpp"

#include <algorithm>
#include <limits>
#include <vector>

#include "base/hex_digit.hpp"
#include "base/text.hpp"

namespace kovan {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Header names are tokens: printable ASCII without separators.
bool IsTokenChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= 32 || u >= 127) return false;
  return std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  if (word.size() > text.size()) return false;
  for (size_t i = 0; i + word.size() <= text.size(); ++i)
    if (AsciiIEquals(text.substr(i, word.size()), word)) return true;
  return false;
}

[[noreturn]] void ClosedEarly() { throw HttpError("connection closed before the answer was complete"); }

// Buffers what the source delivers and hands it out as lines or byte runs.
class AnswerReader {
 public:
  explicit AnswerReader(ByteSource& source) : source_(source) {}

  // One line without its end (LF, or CR LF). `budget` is what the header
  // block may still take; the line and its end are charged to it.
  std::string ReadLine(size_t& budget) {
    size_t scanned = 0;
    for (;;) {
      const std::string_view pending = Pending();
      const size_t lf = pending.find('\n', scanned);
      if (lf != std::string_view::npos) {
        std::string_view line = pending.substr(0, lf);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxHttpLine) throw HttpError("line longer than 16384 characters");
        if (lf + 1 > budget) throw HttpError("header block too large");
        budget -= lf + 1;
        std::string result(line);
        pos_ += lf + 1;
        return result;
      }
      // Room for the longest line and its CR; anything longer can never end well.
      if (pending.size() > kMaxHttpLine + 1) throw HttpError("line longer than 16384 characters");
      if (pending.size() >= budget) throw HttpError("header block too large");
      scanned = pending.size();
      if (!Fill()) ClosedEarly();
    }
  }

  void ReadExactly(uint64_t count, std::string& out) {
    while (count > 0) {
      if (Pending().empty() && !Fill()) ClosedEarly();
      const size_t take = static_cast<size_t>(std::min<uint64_t>(count, Pending().size()));
      out.append(Pending().substr(0, take));
      pos_ += take;
      count -= take;
    }
  }

  void ReadToClose(std::string& out, size_t limit) {
    for (;;) {
      out.append(Pending());
      pos_ = buffer_.size();
      if (out.size() > limit) throw HttpError("body too large");
      if (!Fill()) return;
    }
  }

 private:
  std::string_view Pending() const { return std::string_view(buffer_).substr(pos_); }

  bool Fill() {
    if (pos_ > 0) {
      buffer_.erase(0, pos_);
      pos_ = 0;
    }
    char chunk[4096];
    const size_t n = source_.Read(chunk, sizeof chunk);
    if (n == 0) return false;
    buffer_.append(chunk, n);
    return true;
  }

  ByteSource& source_;
  std::string buffer_;
  size_t pos_ = 0;
};

struct AnswerHead {
  int status = 0;
  std::vector<HttpHeader> headers;
};

AnswerHead ReadHead(AnswerReader& reader, size_t& budget) {
  AnswerHead head;
  const std::optional<int> status = ParseStatusLine(reader.ReadLine(budget));
  if (!status) throw HttpError("malformed status line");
  head.status = *status;
  for (;;) {
    const std::string line = reader.ReadLine(budget);
    if (line.empty()) return head;
    std::optional<HttpHeader> header = ParseHeaderLine(line);
    if (!header) throw HttpError("malformed header line");
    head.headers.push_back(std::move(*header));
  }
}

void ReadChunkedBody(AnswerReader& reader, size_t& budget, std::string& body) {
  for (;;) {
    const std::optional<uint64_t> size = ParseChunkSize(reader.ReadLine(budget));
    if (!size) throw HttpError("malformed chunk size");
    if (*size == 0) break;
    if (*size > kMaxHttpBody - body.size()) throw HttpError("body too large");
    reader.ReadExactly(*size, body);
    if (!reader.ReadLine(budget).empty()) throw HttpError("chunk not followed by a line end");
  }
  // Trailer fields up to the empty line; their content does not matter to us.
  for (;;) {
    const std::string line = reader.ReadLine(budget);
    if (line.empty()) return;
    if (!ParseHeaderLine(line)) throw HttpError("malformed trailer line");
  }
}

}  // namespace

std::optional<int> ParseStatusLine(std::string_view line) {
  constexpr std::string_view kPrefix = "HTTP/";
  if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  size_t i = kPrefix.size();
  const auto digits = [&] {
    const size_t start = i;
    while (i < line.size() && IsDigit(line[i])) ++i;
    return i > start;
  };
  if (!digits() || i >= line.size() || line[i] != '.') return std::nullopt;
  ++i;
  if (!digits() || i >= line.size() || line[i] != ' ') return std::nullopt;
  ++i;
  if (line.size() - i < 3 || !IsDigit(line[i]) || !IsDigit(line[i + 1]) || !IsDigit(line[i + 2])) return std::nullopt;
  const int code = (line[i] - '0') * 100 + (line[i + 1] - '0') * 10 + (line[i + 2] - '0');
  i += 3;
  if (i < line.size() && line[i] != ' ') return std::nullopt;
  return code;
}

std::optional<HttpHeader> ParseHeaderLine(std::string_view line) {
  const size_t colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos) return std::nullopt;
  const std::string_view name = line.substr(0, colon);
  if (!std::all_of(name.begin(), name.end(), IsTokenChar)) return std::nullopt;
  return HttpHeader{std::string(name), std::string(TrimBlanks(line.substr(colon + 1)))};
}

std::optional<uint64_t> ParseChunkSize(std::string_view line) {
  uint64_t size = 0;
  size_t i = 0;
  for (; i < line.size() && HexDigitValue(line[i]) >= 0; ++i) {
    if (size > (std::numeric_limits<uint64_t>::max() >> 4)) return std::nullopt;
    size = (size << 4) | static_cast<uint64_t>(HexDigitValue(line[i]));
  }
  if (i == 0) return std::nullopt;
  while (i < line.size() && IsBlank(line[i])) ++i;
  if (i < line.size() && line[i] != ';') return std::nullopt;
  return size;
}

std::optional<uint64_t> ParseContentLength(std::string_view value) {
  if (value.empty()) return std::nullopt;
  uint64_t length = 0;
  for (const char c : value) {
    if (!IsDigit(c)) return std::nullopt;
    const auto digit = static_cast<uint64_t>(c - '0');
    if (length > (std::numeric_limits<uint64_t>::max() - digit) / 10) return std::nullopt;
    length = length * 10 + digit;
  }
  return length;
}

HttpResponse ReadHttpResponse(ByteSource& source) {
  AnswerReader reader(source);
  size_t budget = kMaxHttpHeaderBlock;
  AnswerHead head = ReadHead(reader, budget);
  // Informational answers (100 Continue, 102, 103 Early Hints) come before the real one.
  while (head.status >= 100 && head.status < 200) head = ReadHead(reader, budget);

  std::optional<uint64_t> contentLength;
  bool chunked = false;
  for (const HttpHeader& header : head.headers) {
    if (AsciiIEquals(header.name, "Location"))
      throw HttpError("redirected (status " + std::to_string(head.status) + ")");
    if (AsciiIEquals(header.name, "Transfer-Encoding") && ContainsIgnoringCase(header.value, "chunked")) chunked = true;
    if (AsciiIEquals(header.name, "Content-Length")) {
      const std::optional<uint64_t> length = ParseContentLength(header.value);
      if (!length || (contentLength && *contentLength != *length)) throw HttpError("malformed Content-Length");
      contentLength = length;
    }
  }
  if (head.status >= 300 && head.status < 400 && head.status != 304)
    throw HttpError("redirected (status " + std::to_string(head.status) + ")");
  if (head.status < 200 || head.status >= 300) throw HttpError("status " + std::to_string(head.status));

  HttpResponse response;
  response.status = head.status;
  if (head.status == 204) return response;
  if (chunked) {
    ReadChunkedBody(reader, budget, response.body);
  } else if (contentLength) {
    if (*contentLength > kMaxHttpBody) throw HttpError("body too large");
    reader.ReadExactly(*contentLength, response.body);
  } else {
    reader.ReadToClose(response.body, kMaxHttpBody);
  }
  return response;
}

HttpResponse ParseHttpResponse(std::string_view bytes) {
  class MemorySource : public ByteSource {
   public:
    explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
    size_t Read(char* buffer, size_t capacity) override {
      const size_t n = std::min(capacity, rest_.size());
      std::copy_n(rest_.data(), n, buffer);
      rest_.remove_prefix(n);
      return n;
    }

   private:
    std::string_view rest_;
  } source(bytes);
  return ReadHttpResponse(source);
}

}  // namespace kovan
