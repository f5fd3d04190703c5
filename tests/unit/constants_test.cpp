#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/text.hpp"
#include "lang/constants_table.hpp"
#include "lang/lang_error.hpp"
#include "lang/lang_manager.hpp"

namespace kovan {
namespace {

// Builds a constants stream: version, [flag], count, then name/value pairs.
class StreamBuilder {
 public:
  explicit StreamBuilder(uint8_t version, int32_t count, uint8_t flag = 1) : version_(version) {
    bytes_.push_back(version);
    if (version == 2) bytes_.push_back(flag);
    for (int k = 0; k < 4; ++k) bytes_.push_back(static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * k)));
  }
  StreamBuilder& Entry(const std::string& name, const std::string& value) {
    U16(static_cast<uint16_t>(name.size()));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    if (version_ == 2) {
      const std::u16string wide = Utf8ToUtf16(value);
      U16(static_cast<uint16_t>(wide.size()));
      for (char16_t c : wide) U16(c);
    } else {
      U16(static_cast<uint16_t>(value.size()));
      bytes_.insert(bytes_.end(), value.begin(), value.end());
    }
    return *this;
  }
  std::vector<uint8_t> bytes() const { return bytes_; }

 private:
  void U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
  }
  uint8_t version_;
  std::vector<uint8_t> bytes_;
};

TEST(ConstantsResource, BuiltInImageHasTheFixedLayout) {
  const auto image = BuiltinConstantsResource();
  ASSERT_EQ(image.size(), 3112u);
  EXPECT_EQ(image[0], 2);  // version
  EXPECT_EQ(image[1], 1);  // flag
  EXPECT_EQ(image[2] | image[3] << 8 | image[4] << 16 | image[5] << 24, 50);

  // Entries stand in ascending name order.
  std::vector<std::string> names;
  size_t pos = 6;
  while (pos < image.size()) {
    const size_t nameLength = image[pos] | image[pos + 1] << 8;
    names.emplace_back(reinterpret_cast<const char*>(&image[pos + 2]), nameLength);
    pos += 2 + nameLength;
    pos += 2 + 2 * (image[pos] | image[pos + 1] << 8);
  }
  EXPECT_EQ(pos, image.size());
  EXPECT_EQ(names.size(), 50u);
  EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
  EXPECT_EQ(names.front(), "altonay");
  EXPECT_EQ(names.back(), "yeni2");
}

TEST(ConstantsResource, LookupIgnoresAsciiCase) {
  EXPECT_EQ(Utf16ToUtf8(LangManager().ConstantText("XMLad")), "Dosya_Ad\xc4\xb1");
  EXPECT_EQ(Text(msg::xmlad), "Dosya_Ad\xc4\xb1");
  EXPECT_EQ(Utf16ToUtf8(LangManager().ConstantText("KaynakYok")), "Kaynak dosya listesi bulunamad\xc4\xb1...Yenisi olu\xc5\x9fturuldu");
  EXPECT_EQ(Text(msg::sil2), Text(msg::sil22));
  LanguageManager turkish;
  turkish.SetBaseLanguage(kBaseLanguage);
  turkish.SwitchLanguage(kBaseLanguage);
  EXPECT_EQ(turkish.ConstantTextAnsi("tmz2"), "Havuz Bo\xFE");  // ş in the Turkish code page
  try {
    (void)LangManager().ConstantText("nosuch");
    FAIL();
  } catch (const LanguageError& e) {
    EXPECT_STREQ(e.what(), "Constant \"nosuch\" not found");
  }
}

TEST(ConstantsResource, ReadsAllThreeVersions) {
  ConstantsTable table;
  LoadConstantsResource(table, StreamBuilder(2, 2).Entry("zeta", "\xc3\xa7").Entry("Alpha", "a").bytes(), 1254);
  ASSERT_EQ(table.Items().size(), 2u);
  EXPECT_EQ(table.Items()[0].name, "Alpha");  // inserted at its sorted place
  EXPECT_EQ(table.Find("ZETA")->value, u"\u00e7");
  EXPECT_EQ(table.flag, 1);

  LoadConstantsResource(table, StreamBuilder(1, 1).Entry("x", "\xFE").bytes(), 1254);
  EXPECT_EQ(table.Find("x")->value, u"\u015f");  // 8-bit value decoded with the code page
  EXPECT_EQ(table.flag, 1);
  LoadConstantsResource(table, StreamBuilder(0, 1).Entry("x", "\xFE").bytes(), 1252);
  EXPECT_EQ(table.Find("x")->value, u"\u00fe");
  EXPECT_EQ(table.flag, 0);
}

TEST(ConstantsResource, RejectsBadStreams) {
  struct Case {
    std::vector<uint8_t> bytes;
    const char* message;
  };
  const Case cases[] = {
      {StreamBuilder(3, 0).bytes(), "Stream version (3) is greater than the current one (2)"},
      {StreamBuilder(2, 1).Entry("9lives", "x").bytes(), "Invalid constant name (\"9lives\")"},
      {StreamBuilder(2, 1).Entry("a-b", "x").bytes(), "Invalid constant name (\"a-b\")"},
      {StreamBuilder(2, 2).Entry("same", "x").Entry("SAME", "y").bytes(), "Duplicate constant name (\"SAME\")"},
      {StreamBuilder(2, 3).Entry("one", "x").bytes(), "Stream read error"},
      {{}, "Stream read error"},
  };
  for (const Case& c : cases) {
    ConstantsTable table;
    try {
      LoadConstantsResource(table, c.bytes, 1252);
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const LanguageError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

}  // namespace
}  // namespace kovan
