// The help file the build puts beside the program: a real compiled help
// file holding the pages its contents open.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "base/file_system.hpp"

namespace {

uint32_t LittleEndian32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

TEST(HelpFile, IsACompiledHelpFileBesideTheProgram) {
  const std::string path = kovan::ExeFolder() + "yardim.chm";
  ASSERT_TRUE(kovan::FileExists(path)) << path;
  const auto bytes = kovan::ReadWholeFile(path);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_GE(bytes->size(), 0x60u);

  // The file header: signature, format version 3, header length, then the
  // Turkish language identifier the viewer takes its code page from.
  EXPECT_EQ(bytes->substr(0, 4), "ITSF");
  EXPECT_EQ(LittleEndian32(*bytes, 4), 3u);
  EXPECT_EQ(LittleEndian32(*bytes, 8), 0x60u);
  EXPECT_EQ(LittleEndian32(*bytes, 20), 0x41Fu);

  // The directory names every stored file in plain text: the system data,
  // the contents and index, both start pages and a picture they show.
  for (const char* name : {"/#SYSTEM", "/yardim.hhc", "/yardim.hhk", "/giris.html", "/derleme.html", "/en/intro.html",
                           "/stil.css", "/resim/logo.png"}) {
    EXPECT_NE(bytes->find(name), std::string::npos) << name;
  }
}

}  // namespace
