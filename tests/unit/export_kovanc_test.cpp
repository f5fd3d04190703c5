// kovanc export driven as a program: a pool list file in, export files out.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"
#include "xlsx_reader.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Kovanc;
using test::Q;

// A pool of three entries: a small file, one past 4 GiB (sparse) and one that
// is gone; the list file is in code page 1254, where 0xFE is "ş".
class KovancExport : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteBytes(dir_ / "a.ico", std::string(1536, 'x'));
    test::WriteBytes(dir_ / "big.bin", "");
    std::filesystem::resize_file(test::FsPath(dir_ / "big.bin"), 5ull << 30);
    test::WriteBytes(list_, "?,ico," + dir_ / "a.ico" + "\r\nK\xFE,bin," + dir_ / "big.bin" + "\r\n,png,\"" +
                                dir_ / "gone & lost.png" + "\"\r\n");
  }

  std::string Export(const std::string& args) { return Kovanc("export --codepage 1254 " + args).out; }

  test::TempDir dir_;
  const std::string list_ = dir_ / "Liste.kvl";
};

TEST_F(KovancExport, XmlInTheBuiltInLanguageWithSizeTexts) {
  EXPECT_EQ(Export("--xml " + Q(list_) + " " + Q(dir_ / "out")), dir_ / "out.xml\n");
  const std::string row =
      "<Dosya_Bilgileri>\r\n"
      "<Dosya>%PATH%</Dosya>\r\n"
      "<Dosya_Ad\xC4\xB1>%NAME%</Dosya_Ad\xC4\xB1>\r\n"
      "<Dosya_T\xC3\xBCr\xC3\xBC>%TYPE%</Dosya_T\xC3\xBCr\xC3\xBC>\r\n"
      "<Dosya_Boyutu>%SIZE%</Dosya_Boyutu>\r\n"
      "<Dosya_Anahtar_Ad\xC4\xB1>%KEY%</Dosya_Anahtar_Ad\xC4\xB1>\r\n"
      "</Dosya_Bilgileri>\r\n";
  auto fill = [&](std::map<std::string, std::string> values) {
    std::string text = row;
    for (const auto& [name, value] : values) text.replace(text.find("%" + name + "%"), name.size() + 2, value);
    return text;
  };
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n<Kaynak_Havuzu>\r\n" +
      fill({{"PATH", dir_ / "a.ico"}, {"NAME", "a.ico"}, {"TYPE", "ico"}, {"SIZE", "1 Kb"}, {"KEY", "?"}}) +
      fill({{"PATH", dir_ / "big.bin"}, {"NAME", "big.bin"}, {"TYPE", "bin"}, {"SIZE", "5 Gb"}, {"KEY", "K\xC5\x9F"}}) +
      fill({{"PATH", dir_ / "gone &amp; lost.png"},
            {"NAME", "gone &amp; lost.png"},
            {"TYPE", "png"},
            {"SIZE", "Bilinmeyen dosya boyutu"},
            {"KEY", "&quot;&quot;"}}) +
      "</Kaynak_Havuzu>\r\n";
  EXPECT_EQ(test::ReadBytes(dir_ / "out.xml"), expected);
}

TEST_F(KovancExport, HtmlKeepsANameThatEndsInItsExtension) {
  EXPECT_EQ(Export("--html " + Q(list_) + " " + Q(dir_ / "page.HTML")), dir_ / "page.HTML\n");
  const std::string page = test::ReadBytes(dir_ / "page.HTML");
  EXPECT_EQ(page.substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_NE(page.find("<td class=\"c0\" nowrap><strong>Dosya Anahtar Ad\xC4\xB1</strong></td>\r\n</tr>"),
            std::string::npos);
  EXPECT_NE(page.find("<td class=\"c0\" nowrap>gone &amp; lost.png</td>"), std::string::npos);
}

TEST_F(KovancExport, WorkbookUnderTheNameAsGiven) {
  EXPECT_EQ(Export("--xls " + Q(list_) + " " + Q(dir_ / "book.xml")), dir_ / "book.xml\n");
  const std::map<std::string, std::string> expected = {
      {"A1", "Dosya"},
      {"B1", "Dosya Ad\xC4\xB1"},
      {"C1", "Dosya (Kaynak) T\xC3\xBCr\xC3\xBC"},
      {"D1", "Boyut"},
      {"E1", "Dosya Anahtar Ad\xC4\xB1"},
      {"A2", dir_ / "a.ico"},
      {"B2", "a.ico"},
      {"C2", "ico"},
      {"D2", "1 Kb"},
      {"E2", "?"},
      {"A3", dir_ / "big.bin"},
      {"B3", "big.bin"},
      {"C3", "bin"},
      {"D3", "5 Gb"},
      {"E3", "K\xC5\x9F"},
      {"A4", dir_ / "gone & lost.png"},
      {"B4", "gone & lost.png"},
      {"C4", "png"},
      {"D4", "Bilinmeyen dosya boyutu"},
  };
  EXPECT_EQ(test::FirstSheetCells(dir_ / "book.xml"), expected);
}

TEST_F(KovancExport, FailuresNameTheFileAndExitNonZero) {
  test::WriteBytes(dir_ / "empty.kvl", "");
  const std::string blocked = dir_ / "no folder/out.xml";
  struct Case {
    std::string args;
    std::string error;  // part of what is printed
  };
  const Case cases[] = {
      {"--xml " + Q(dir_ / "none.kvl") + " " + Q(dir_ / "x"), dir_ / "none.kvl"},
      {"--html " + Q(dir_ / "empty.kvl") + " " + Q(dir_ / "x"), dir_ / "empty.kvl"},
      {"--html /proc/self/mem " + Q(dir_ / "x"), "cannot read /proc/self/mem"},  // opened, then the read fails
      {"--xml " + Q(list_) + " " + Q(blocked), "Cannot Create file " + blocked + "\n"},
      {"--xls " + Q(list_) + " " + Q(blocked), "Cannot Create file " + blocked + "\n"},
      {Q(list_) + " " + Q(dir_ / "x"), "--xls"},
      {"--xml --html " + Q(list_) + " " + Q(dir_ / "x"), "--xml"},
  };
  for (const Case& c : cases) {
    const test::CommandResult r = test::RunCommand(std::string(KOVANC_PATH) + " export " + c.args + " 2>&1");
    EXPECT_NE(r.exitCode, 0) << c.args;
    EXPECT_NE(r.out.find(c.error), std::string::npos) << r.out;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir_.str())), {}), 4);
}

}  // namespace
}  // namespace kovan
#endif
