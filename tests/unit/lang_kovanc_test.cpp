// kovanc lang check / lang list driven as a program.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/run_kovanc.hpp"
#include "support/test_util.hpp"

#ifndef _WIN32
namespace kovan {
namespace {

using test::Kovanc;
using test::Q;
using Result = test::CommandResult;

TEST(KovancLang, CheckPrintsWhatASwitchReads) {
  test::TempDir dir;
  struct Case {
    std::string bytes;
    std::string json;
    int exitCode;
  };
  const Case cases[] = {
      {"; German\r\nLANGID=1031\r\nName=Deutsch \\n\r\nname=Deutsch\r\n[$constants]\r\nYeni2=Neue\\32Version\\t\r\n"
       "[ayarpencere]\r\n1=Einstellungen\r\n2=\\\\x\r\n[AnaPencere]\r\n6=Ressourcen\r\n[AyarPencere]\r\n3=Aussehen\r\n",
       "{\"langid\":1031,\"listed\":true,\"params\":{\"LANGID\":\"1031\",\"Name\":\"Deutsch\"},"
       "\"constants\":{\"Yeni2\":\"Neue Version\\t\"},"
       "\"sections\":{\"ayarpencere\":{\"1\":\"Einstellungen\",\"2\":\"\\\\x\",\"3\":\"Aussehen\"},"
       "\"AnaPencere\":{\"6\":\"Ressourcen\"}}}\n",
       0},
      {"LANGID=1055\n",
       "{\"langid\":1055,\"listed\":false,\"params\":{\"LANGID\":\"1055\"},\"constants\":{},\"sections\":{}}\n", 0},
      {"LANGID=x\n", "{\"langid\":0,\"listed\":false,\"params\":{\"LANGID\":\"x\"},\"constants\":{},\"sections\":{}}\n",
       0},
      // A scan stops at the first "[" line, a switch reads past one that names no section.
      {"[junk\nLANGID=1049\n",
       "{\"langid\":0,\"listed\":false,\"params\":{\"LANGID\":\"1049\"},\"constants\":{},\"sections\":{}}\n", 0},
      {"\xEF\xBB\xBFLANGID=1049\n[$CONSTANTS]\nyeni2=\xD0\x96\n",
       "{\"langid\":1049,\"listed\":true,\"params\":{\"LANGID\":\"1049\"},\"constants\":{\"yeni2\":\"\xD0\x96\"},"
       "\"sections\":{}}\n",
       0},
      {"LANGID=1033\n[S]\n1=a\n\n1=b\n",
       "{\"error\":\"Duplicate property value translation ID (1)\",\"file\":\"" + dir / "x.lng" + "\",\"line\":5}\n",
       1},
      {std::string("\xFE\xFF\0L\0A\0N\0G\0I\0D\0=\0"
                   "1\0"
                   "0\0"
                   "4\0"
                   "9\0\n",
                   26),
       "{\"langid\":1049,\"listed\":true,\"params\":{\"LANGID\":\"1049\"},\"constants\":{},\"sections\":{}}\n", 0},
  };
  for (const Case& c : cases) {
    test::WriteBytes(dir / "x.lng", c.bytes);
    const Result r = Kovanc("lang check --json " + Q(dir / "x.lng"));
    EXPECT_EQ(r.exitCode, c.exitCode) << c.bytes;
    EXPECT_EQ(r.out, c.json) << c.bytes;
  }

  const Result missing = Kovanc("lang check --json " + Q(dir / "none.lng"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out.rfind("{\"error\":\"Cannot open file ", 0), 0u) << missing.out;
  EXPECT_NE(missing.out.find("\"file\":\"" + dir / "none.lng" + "\"}"), std::string::npos) << missing.out;

  // The report for translators names what stays in Turkish.
  test::WriteBytes(dir / "x.lng",
                   "LANGID=1031\n[$CONSTANTS]\nyeni2=Neu\nmine=x\n[AyarPencere]\n1=E\n99=x\n[Other]\n1=x\n");
  const Result report = Kovanc("lang check " + Q(dir / "x.lng"));
  EXPECT_EQ(report.exitCode, 0);
  for (const char* part :
       {"LANGID: 1031 (German (Germany))", "  yeni1 = \"Yeni s\xc3\xbcr\xc3\xbcm mevcut",
        "Unknown to the program (ignored): mine", "[AyarPencere]: 1 of 14 texts translated",
        "  2 (genelpanel.Caption.Text) = \"Genel Ayarlar\"", "Unknown ID (ignored): 99",
        "[Kaynaklar]: 0 of 12 texts translated (no section)", "Section [Other] belongs to no window"}) {
    EXPECT_NE(report.out.find(part), std::string::npos) << part << "\n" << report.out;
  }
  EXPECT_EQ(report.out.find("yeni2 ="), std::string::npos);

  // An XML element name that is no valid name is named with what the export writes instead.
  test::WriteBytes(dir / "x.lng", "LANGID=1033\n[$CONSTANTS]\nxmlhvz=Resource Pool\nxmlbil=File_Info\n");
  const Result names = Kovanc("lang check " + Q(dir / "x.lng"));
  EXPECT_EQ(names.exitCode, 0);
  EXPECT_NE(names.out.find("Warning: xmlhvz = \"Resource Pool\" is no valid XML element name; the XML export writes "
                           "\"Resource_Pool\""),
            std::string::npos)
      << names.out;
  EXPECT_EQ(names.out.find("xmlbil = \"File_Info\" is no valid"), std::string::npos);
}

TEST(KovancLang, ListGivesTheLanguagesOfAScan) {
  test::TempDir dir;
  test::WriteBytes(dir / "ru.lng", "LANGID=1049\n");
  test::WriteBytes(dir / "tr.lng", "LANGID=1055\n");
  test::WriteBytes(dir / "bad.lng", "no language\n");
  test::WriteBytes(dir / "x.txt", "LANGID=1031\n");
  // A file that cannot be opened (a link to itself) is skipped and named.
  std::filesystem::create_symlink("loop.lng", test::FsPath(dir / "loop.lng"));
  const Result skipped = test::RunCommand(std::string(KOVANC_PATH) + " lang list " + Q(dir.str()) + " 2>&1 >/dev/null");
  EXPECT_EQ(skipped.out.rfind("kovanc: " + dir / "loop.lng" + ": skipped: ", 0), 0u) << skipped.out;
  const Result r = Kovanc("lang list --json " + Q(dir.str()));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out,
            "[{\"index\":0,\"id\":1055,\"name\":\"Turkish (Turkey)\",\"file\":null},"
            "{\"index\":1,\"id\":1049,\"name\":\"Russian (Russia)\",\"file\":\"" +
                dir / "ru.lng" + "\"}]\n");
  const Result missing = Kovanc("lang list --json " + Q(dir / "none"));
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.out, "{\"error\":\"Invalid filename\",\"folder\":\"" + dir / "none" + "\"}\n");
  EXPECT_EQ(Kovanc("lang list " + Q(dir.str())).out,
            "0\t1055\tTurkish (Turkey)\t(built in)\n1\t1049\tRussian (Russia)\t" + dir / "ru.lng" + "\n");
}

}  // namespace
}  // namespace kovan

#endif
