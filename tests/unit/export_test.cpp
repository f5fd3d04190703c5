// The export table and the XML, HTML and workbook writers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>

#include "export/pool_export.hpp"
#include "export/xlsx_workbook.hpp"
#include "support/test_util.hpp"
#include "xlsx_reader.hpp"

namespace kovan {
namespace {

// Rows that need every rule of the writers: markup characters (an entity that
// must not survive as one), an empty cell, a blanks-only cell, a carriage
// return, a control character, and names outside any one ANSI code page.
ExportTable SampleTable() {
  ExportTable table;
  table.header = {"Path", "Name", "Type & Kind", "Size", "Key"};
  table.rows = {
      {"C:\\A&B\\x.ico", "x.ico", "ICO", "12 Kb", "K<1>\"q\"'"},
      {"C:\\\xC3\x9Cn\xC3\xAF\\\xE6\x97\xA5\xE6\x9C\xAC.png", "\xE6\x97\xA5\xE6\x9C\xAC.png", "  ",
       "Bilinmeyen dosya boyutu", ""},
      {"C:\\a.txt", "a.txt", "one\rtwo\nthree\tfour", "&gt;", "\x01\x1F"},
  };
  return table;
}

const XmlNames kNames{
    "Kaynak_Havuzu",
    "Dosya_Bilgileri",
    {"Dosya", "Dosya_Ad\xC4\xB1", "Dosya_T\xC3\xBCr\xC3\xBC", "Dosya_Boyutu", "Dosya_Anahtar_Ad\xC4\xB1"}};

TEST(ExportTable, OneRowPerEntryInPoolOrderWithFileNameAndSizeText) {
#ifdef _WIN32
  const std::string first = "C:\\icons\\a.ico";
  const std::string second = "D:b.png";
#else
  const std::string first = "/icons/a.ico";
  const std::string second = "/b.png";
#endif
  ResourcePool pool;
  pool.Append("KEY", "ICO", first);
  pool.Append("", "PNG", second);
  pool.AppendFields({"ONLY"});  // a short line from a hand-edited list file
  std::vector<std::string> asked;
  const ExportTable table = BuildExportTable(pool, [&](const std::string& path) {
    asked.push_back(path);
    return path.empty() ? "unknown" : std::to_string(path.size()) + " Byte";
  });
  const std::vector<ExportRow> expected = {
      {first, "a.ico", "ICO", std::to_string(first.size()) + " Byte", "KEY"},
      {second, "b.png", "PNG", std::to_string(second.size()) + " Byte", ""},
      {"", "", "", "unknown", "ONLY"},
  };
  EXPECT_EQ(table.rows, expected);
  EXPECT_EQ(asked, (std::vector<std::string>{first, second, ""}));
}

TEST(ExportFileName, AddsTheDocumentExtensionOnlyWhenMissing) {
  struct Case {
    const char* chosen;
    ExportFormat format;
    const char* written;
  };
  const Case cases[] = {
      {"liste", ExportFormat::Xml, "liste.xml"},
      {"liste.xml", ExportFormat::Xml, "liste.xml"},
      {"C:\\out\\LISTE.Xml", ExportFormat::Xml, "C:\\out\\LISTE.Xml"},
      {"liste.html", ExportFormat::Xml, "liste.html.xml"},
      {"liste", ExportFormat::Html, "liste.html"},
      {"liste.HTML", ExportFormat::Html, "liste.HTML"},
      {"liste.htm", ExportFormat::Html, "liste.htm.html"},
      {"liste", ExportFormat::Workbook, "liste"},
      {"liste.xml", ExportFormat::Workbook, "liste.xml"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExportFileName(c.chosen, c.format), c.written) << c.chosen;
}

TEST(XmlExport, Utf8DocumentWithEscapedCellsAndNoForbiddenCharacters) {
  const std::string expected =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\r\n"
      "<Kaynak_Havuzu>\r\n"
      "<Dosya_Bilgileri>\r\n"
      "<Dosya>C:\\A&amp;B\\x.ico</Dosya>\r\n"
      "<Dosya_Ad\xC4\xB1>x.ico</Dosya_Ad\xC4\xB1>\r\n"
      "<Dosya_T\xC3\xBCr\xC3\xBC>ICO</Dosya_T\xC3\xBCr\xC3\xBC>\r\n"
      "<Dosya_Boyutu>12 Kb</Dosya_Boyutu>\r\n"
      "<Dosya_Anahtar_Ad\xC4\xB1>K&lt;1&gt;&quot;q&quot;'</Dosya_Anahtar_Ad\xC4\xB1>\r\n"
      "</Dosya_Bilgileri>\r\n"
      "<Dosya_Bilgileri>\r\n"
      "<Dosya>C:\\\xC3\x9Cn\xC3\xAF\\\xE6\x97\xA5\xE6\x9C\xAC.png</Dosya>\r\n"
      "<Dosya_Ad\xC4\xB1>\xE6\x97\xA5\xE6\x9C\xAC.png</Dosya_Ad\xC4\xB1>\r\n"
      "<Dosya_T\xC3\xBCr\xC3\xBC>  </Dosya_T\xC3\xBCr\xC3\xBC>\r\n"
      "<Dosya_Boyutu>Bilinmeyen dosya boyutu</Dosya_Boyutu>\r\n"
      "<Dosya_Anahtar_Ad\xC4\xB1>&quot;&quot;</Dosya_Anahtar_Ad\xC4\xB1>\r\n"
      "</Dosya_Bilgileri>\r\n"
      "<Dosya_Bilgileri>\r\n"
      "<Dosya>C:\\a.txt</Dosya>\r\n"
      "<Dosya_Ad\xC4\xB1>a.txt</Dosya_Ad\xC4\xB1>\r\n"
      "<Dosya_T\xC3\xBCr\xC3\xBC>one\rtwo\nthree\tfour</Dosya_T\xC3\xBCr\xC3\xBC>\r\n"
      "<Dosya_Boyutu>&amp;gt;</Dosya_Boyutu>\r\n"
      "<Dosya_Anahtar_Ad\xC4\xB1>&quot;&quot;</Dosya_Anahtar_Ad\xC4\xB1>\r\n"
      "</Dosya_Bilgileri>\r\n"
      "</Kaynak_Havuzu>\r\n";
  EXPECT_EQ(XmlExportText(SampleTable(), kNames), expected);
}

TEST(XmlExport, TranslatedElementNamesAreMadeValidNames) {
  struct Case {
    const char* name;
    const char* element;
  };
  const Case cases[] = {
      {"Resource Pool", "Resource_Pool"},
      {"Dosya_Ad\xC4\xB1", "Dosya_Ad\xC4\xB1"},
      {"1st", "_1st"},
      {"a<b>&\"c", "a_b___c"},
      {"", "_"},
      {"-x.y", "_-x.y"},
      {"t\xFF", "t_"},
      {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
  };
  for (const Case& c : cases) EXPECT_EQ(XmlElementName(c.name), c.element) << c.name;
  const ExportTable table{{}, {{"p", "n", "t", "s", "k"}}};
  const std::string text = XmlExportText(table, {"Resource Pool", "File Info", {"Path", "Name", "1", "Size", "Key"}});
  EXPECT_NE(text.find("<Resource_Pool>\r\n<File_Info>\r\n<Path>p</Path>"), std::string::npos) << text;
  EXPECT_NE(text.find("<_1>t</_1>"), std::string::npos) << text;
}

TEST(XmlExport, BrokenUtf8AndNonCharactersDoNotReachTheDocument) {
  const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD, one for each byte that is not UTF-8
  struct Case {
    std::string cell;
    std::string content;
  };
  const Case cases[] = {
      {"a\xFF"
       "b",
       "a" + kBad + "b"},
      {"\xEF\xBF\xBE", "&quot;&quot;"},
      {"x\xEF\xBF\xBFy", "xy"},
      {"\xC0\xAF", kBad + kBad},                        // overlong
      {"\xED\xA0\x80", kBad + kBad + kBad},             // a surrogate
      {"\xF4\x90\x80\x80", kBad + kBad + kBad + kBad},  // beyond U+10FFFF
      {"z\xE6\x97", "z" + kBad + kBad},                 // cut short
      {"\xF0\x9F\x98\x80\xEF\xBF\xBD\xC3\xBC", "\xF0\x9F\x98\x80\xEF\xBF\xBD\xC3\xBC"},
  };
  for (const Case& c : cases) {
    const ExportTable table{{}, {{c.cell, "", "", "", ""}}};
    const std::string text = XmlExportText(table, {"r", "e", {"a", "b", "c", "d", "e"}});
    EXPECT_NE(text.find("<a>" + c.content + "</a>"), std::string::npos) << c.content;
  }
}

std::string Td(const std::string& text) { return "<td class=\"c0\" nowrap>" + text + "</td>\r\n"; }

TEST(HtmlExport, Utf8PageWithBoldHeaderEscapedCellsAndLineBreaks) {
  const std::string expected =
      "\xEF\xBB\xBF<style>\r\n"
      ".c0 {background-color: #FFFFFF;color: #000000;font-size:8pt;font-family: Tahoma;vertical-align: top}\r\n"
      "</style>\r\n"
      "<table border=\"1\" cellspacing=\"0\" cellpadding=\"0\"  width=\"100%\">\r\n"
      "<tr>\r\n" +
      Td("<strong>Path</strong>") + Td("<strong>Name</strong>") + Td("<strong>Type &amp; Kind</strong>") +
      Td("<strong>Size</strong>") + Td("<strong>Key</strong>") +
      "</tr>\r\n"
      "<tr>\r\n" +
      Td("C:\\A&amp;B\\x.ico") + Td("x.ico") + Td("ICO") + Td("12 Kb") + Td("K&lt;1&gt;&quot;q&quot;'") +
      "</tr>\r\n"
      "<tr>\r\n" +
      Td("C:\\\xC3\x9Cn\xC3\xAF\\\xE6\x97\xA5\xE6\x9C\xAC.png") + Td("\xE6\x97\xA5\xE6\x9C\xAC.png") + Td("<br>") +
      Td("Bilinmeyen dosya boyutu") + Td("<br>") +
      "</tr>\r\n"
      "<tr>\r\n" +
      Td("C:\\a.txt") + Td("a.txt") + Td("one<br>two\nthree\tfour") + Td("&amp;gt;") + Td("\x01\x1F") +
      "</tr>\r\n"
      "</table>\r\n"
      "\r\n";
  EXPECT_EQ(HtmlExportText(SampleTable(), HtmlStyle{}), expected);
}

TEST(HtmlExport, StyleLineCarriesTheGivenColoursAndFont) {
  const HtmlStyle style{0x0A0BFC, 0xE0F0A1, 10, "Segoe UI"};
  EXPECT_NE(HtmlExportText(ExportTable{}, style)
                .find("\r\n.c0 {background-color: #0A0BFC;color: #E0F0A1;font-size:10pt;font-family: Segoe "
                      "UI;vertical-align: top}\r\n"),
            std::string::npos);
}

// The three writers behind one signature, for the checks they share.
using Writer = std::function<void(const ExportTable&, const std::string&)>;
const std::map<std::string, Writer> kWriters = {
    {"xml", [](const ExportTable& t, const std::string& p) { WriteXmlExport(t, kNames, p); }},
    {"html", [](const ExportTable& t, const std::string& p) { WriteHtmlExport(t, HtmlStyle{}, p); }},
    {"xlsx", [](const ExportTable& t, const std::string& p) { WriteWorkbook(t, p); }},
};

TEST(ExportWriters, ReplaceAnEarlierFileAndLeaveNothingElseBehind) {
  for (const auto& [format, write] : kWriters) {
    test::TempDir dir;
    const std::string target = dir / ("d\xC4\xB1\xC5\x9F"
                                      "a aktar \xE6\x97\xA5." +
                                      format);
    test::WriteBytes(target, std::string(100000, 'x'));
    write(SampleTable(), target);
    const std::string bytes = test::ReadBytes(target);
    if (format == "xml") {
      EXPECT_EQ(bytes, XmlExportText(SampleTable(), kNames));
    } else if (format == "html") {
      EXPECT_EQ(bytes, HtmlExportText(SampleTable(), HtmlStyle{}));
    } else {
      EXPECT_EQ(bytes.substr(0, 4), "PK\x03\x04");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(test::FsPath(dir.str())), {}), 1) << format;
  }
}

TEST(ExportWriters, AFileThatCannotBeCreatedFailsWithItsFullName) {
  test::TempDir dir;
  const std::string target =
      dir / "missing folder" + static_cast<char>(std::filesystem::path::preferred_separator) + "liste.xml";
  for (const auto& [format, write] : kWriters) {
    try {
      write(SampleTable(), target);
      ADD_FAILURE() << format << " wrote into a missing folder";
    } catch (const ExportError& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot Create file " + target) << format;
    }
  }
}

#ifndef _WIN32
TEST(WorkbookExport, FirstSheetHoldsHeaderAndRowsFromA1AsText) {
  test::TempDir dir;
  const std::string target = dir / "liste";
  WriteWorkbook(SampleTable(), target);
  const std::map<std::string, std::string> expected = {
      {"A1", "Path"},
      {"B1", "Name"},
      {"C1", "Type & Kind"},
      {"D1", "Size"},
      {"E1", "Key"},
      {"A2", "C:\\A&B\\x.ico"},
      {"B2", "x.ico"},
      {"C2", "ICO"},
      {"D2", "12 Kb"},
      {"E2", "K<1>\"q\"'"},
      {"A3", "C:\\\xC3\x9Cn\xC3\xAF\\\xE6\x97\xA5\xE6\x9C\xAC.png"},
      {"B3", "\xE6\x97\xA5\xE6\x9C\xAC.png"},
      {"C3", "  "},
      {"D3", "Bilinmeyen dosya boyutu"},
      {"A4", "C:\\a.txt"},
      {"B4", "a.txt"},
      {"C4", "onetwo\nthree\tfour"},
      {"D4", "&gt;"},
  };
  EXPECT_EQ(test::FirstSheetCells(target), expected);
}

TEST(WorkbookExport, CellsAreCleanedAsForTheXmlDocument) {
  const std::string kBad = "\xEF\xBF\xBD";
  // A Latin-1 name as Linux may hold it, the non-characters, an encoded
  // surrogate and control characters: none may reach the sheet's XML.
  const ExportTable table{{"caf\xE9.ico", "x\xEF\xBF\xBEy\xEF\xBF\xBFz", "\xED\xA0\x80",
                           "a\x01\x1F"
                           "b",
                           "K"},
                          {}};
  test::TempDir dir;
  WriteWorkbook(table, dir / "w.xlsx");
  const std::map<std::string, std::string> expected = {
      {"A1", "caf" + kBad + ".ico"}, {"B1", "xyz"}, {"C1", kBad + kBad + kBad}, {"D1", "ab"}, {"E1", "K"}};
  EXPECT_EQ(test::FirstSheetCells(dir / "w.xlsx"), expected);
}

TEST(WorkbookExport, GoesThroughAPrivateFolderThatNothingPlantedCanRedirect) {
  test::TempDir temp;
  test::TempDir dir;
  // Links and a folder where a shared temporary folder's guessable names
  // would be, one of them leading to a file of the user's.
  test::WriteBytes(dir / "victim", "precious");
  for (int i = 1; i <= 50; ++i) {
    const std::string name = temp / ("kovan-" + std::to_string(test::ProcessId()) + "-" + std::to_string(i) + ".xlsx");
    if (i == 1) {
      std::filesystem::create_directory(test::FsPath(name));
    } else {
      std::filesystem::create_symlink(test::FsPath(dir / "victim"), test::FsPath(name));
    }
  }
  const size_t planted = 50;
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", temp.str().c_str(), 1);
  bool wrote = true;
  try {
    WriteWorkbook(SampleTable(), dir / "out.xlsx");
  } catch (const ExportError&) {
    wrote = false;
  }
  old ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
  EXPECT_TRUE(wrote);
  EXPECT_EQ(test::ReadBytes(dir / "victim"), "precious");
  EXPECT_EQ(test::ReadBytes(dir / "out.xlsx").substr(0, 4), "PK\x03\x04");
  // Nothing of ours is left in the temporary folder.
  EXPECT_EQ(static_cast<size_t>(std::distance(std::filesystem::directory_iterator(test::FsPath(temp.str())), {})),
            planted);
}
#endif

}  // namespace
}  // namespace kovan
