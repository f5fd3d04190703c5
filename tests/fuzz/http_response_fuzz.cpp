// The HTTP answer reader on arbitrary bytes. The first byte chooses how the
// bytes arrive (in pieces of which sizes) and whether they follow a ready-made
// chunked head, so the chunk decoder gets its share. The reader must only ever
// fail with HttpError, give the same outcome however the bytes are split, and
// never return more than it may.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "online/http_response.hpp"

namespace {

class PieceSource : public kovan::ByteSource {
 public:
  PieceSource(std::string_view bytes, size_t pieceSize) : rest_(bytes), pieceSize_(pieceSize) {}
  size_t Read(char* buffer, size_t capacity) override {
    const size_t n = std::min({capacity, rest_.size(), pieceSize_});
    std::copy_n(rest_.data(), n, buffer);
    rest_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view rest_;
  size_t pieceSize_;
};

std::optional<kovan::HttpResponse> Read(kovan::ByteSource& source) {
  try {
    return kovan::ReadHttpResponse(source);
  } catch (const kovan::HttpError&) {
    return std::nullopt;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t mode = data[0];
  std::string answer;
  if (mode & 0x80) answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  answer.append(reinterpret_cast<const char*>(data + 1), size - 1);

  std::optional<kovan::HttpResponse> whole;
  try {
    whole = kovan::ParseHttpResponse(answer);
  } catch (const kovan::HttpError&) {
  }
  PieceSource pieces(answer, (mode & 0x7F) + 1);
  const std::optional<kovan::HttpResponse> split = Read(pieces);

  if (whole.has_value() != split.has_value()) std::abort();
  if (!whole) return 0;
  if (whole->status != split->status || whole->body != split->body) std::abort();
  if (whole->status < 200 || whole->status > 299) std::abort();
  if (whole->body.size() > kovan::kMaxHttpBody) std::abort();
  return 0;
}
