// Reads the cells of a workbook's first sheet back, for checking what the
// workbook export wrote. Unpacks with unzip; POSIX only.
#pragma once

#ifndef _WIN32
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_kovanc.hpp"

namespace kovan::test {

inline std::string XmlUnescape(std::string_view text) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < text.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (text.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += text[i++];
  }
  return out;
}

// The text between `open`'s closing '>' and `close`, from `pos` on; advances pos.
inline bool NextElement(std::string_view xml, std::string_view open, std::string_view close, size_t& pos,
                        std::string_view& attributes, std::string_view& content) {
  const size_t start = xml.find(open, pos);
  if (start == std::string_view::npos) return false;
  const size_t tagEnd = xml.find('>', start);
  attributes = xml.substr(start + open.size(), tagEnd - start - open.size());
  if (!attributes.empty() && attributes.back() == '/') {
    content = {};
    pos = tagEnd + 1;
    return true;
  }
  const size_t end = xml.find(close, tagEnd);
  content = xml.substr(tagEnd + 1, end - tagEnd - 1);
  pos = end + close.size();
  return true;
}

inline std::string Attribute(std::string_view attributes, std::string_view name) {
  const std::string key = " " + std::string(name) + "=\"";
  const size_t at = attributes.find(key);
  if (at == std::string_view::npos) return {};
  const size_t start = at + key.size();
  return std::string(attributes.substr(start, attributes.find('"', start) - start));
}

// Cell reference ("A1") to text for every cell of the first sheet that holds a
// value; a value that is not a shared string is marked with its type, "(n) 12".
inline std::map<std::string, std::string> FirstSheetCells(const std::string& workbook) {
  const std::string shared = RunCommand("unzip -p " + Q(workbook) + " xl/sharedStrings.xml").out;
  const std::string sheet = RunCommand("unzip -p " + Q(workbook) + " xl/worksheets/sheet1.xml").out;
  std::vector<std::string> strings;
  std::string_view attributes, content;
  for (size_t pos = 0; NextElement(shared, "<si", "</si>", pos, attributes, content);) {
    std::string text;
    std::string_view tAttributes, tContent;
    for (size_t t = 0; NextElement(content, "<t", "</t>", t, tAttributes, tContent);) text += XmlUnescape(tContent);
    strings.push_back(std::move(text));
  }
  std::map<std::string, std::string> cells;
  for (size_t pos = 0; NextElement(sheet, "<c ", "</c>", pos, attributes, content);) {
    const std::string ref = Attribute(" " + std::string(attributes), "r");
    const std::string type = Attribute(" " + std::string(attributes), "t");
    std::string_view vAttributes, value;
    size_t v = 0;
    if (!NextElement(content, "<v", "</v>", v, vAttributes, value)) continue;
    cells[ref] = type == "s" ? strings.at(std::stoul(std::string(value))) : "(" + type + ") " + XmlUnescape(value);
  }
  return cells;
}

}  // namespace kovan::test

#endif
