// Little-endian fields and the sink the format writers stream into.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kovan {

inline uint16_t ReadLe16(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8);
}

inline uint32_t ReadLe32(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(ReadLe16(bytes, at)) | static_cast<uint32_t>(ReadLe16(bytes, at + 2)) << 16;
}

inline void AppendLe16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

inline void AppendLe32(std::string& out, uint32_t value) {
  AppendLe16(out, value & 0xFFFF);
  AppendLe16(out, value >> 16);
}

inline void PutLe32(std::string& out, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Where a writer puts its bytes: a file, or a string in tests.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual void Write(std::string_view bytes) = 0;
  void WriteZeros(size_t count) {
    static constexpr char kZeros[16] = {};
    while (count > 0) {
      const size_t n = count < sizeof kZeros ? count : sizeof kZeros;
      Write(std::string_view(kZeros, n));
      count -= n;
    }
  }
};

class StringSink : public ByteSink {
 public:
  void Write(std::string_view bytes) override { bytes_.append(bytes); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

}  // namespace kovan

namespace kovan {

// Where a reader takes its bytes from: a file read piece by piece, or bytes
// in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Fills `out` with the `count` bytes at `offset`; throws when they are not there.
  virtual void ReadAt(uint64_t offset, char* out, size_t count) = 0;
};

class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  void ReadAt(uint64_t offset, char* out, size_t count) override;

 private:
  std::string_view bytes_;
};

}  // namespace kovan
