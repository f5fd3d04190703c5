#include "pool/build_record.hpp"

#include <optional>

#include "base/file_stamp.hpp"
#include "base/file_system.hpp"

namespace kovan {

namespace {

// The first line; a record of another layout never matches.
constexpr std::string_view kRecordStart = "kovan-stamp 1\n";

// A text field with its length first, so that no text can pass for two fields.
void AddText(std::string& out, std::string_view text) {
  out += std::to_string(text.size());
  out += ':';
  out += text;
  out += ' ';
}

void AddStamp(std::string& out, const std::string& path) {
  const std::optional<FileStamp> stamp = FileStampOf(path);
  if (!stamp) {
    out += "missing";
    return;
  }
  out += std::to_string(stamp->size);
  out += ' ';
  out += std::to_string(stamp->writeTime);
}

void AddLine(std::string& out, std::string_view name, std::string_view text) {
  out += name;
  out += ' ';
  AddText(out, text);
  out += '\n';
}

// The lines of the files a compile leaves behind.
std::string OutputLines(const std::string& outputFile, const std::string& headerFile) {
  std::string out = "output ";
  AddStamp(out, outputFile);
  out += '\n';
  if (!headerFile.empty()) {
    out += "header-file ";
    AddStamp(out, headerFile);
    out += '\n';
  }
  return out;
}

}  // namespace

std::string BuildRecordFile(const std::string& outputFile) { return outputFile + ".kovan-stamp"; }

std::string DescribeBuildInputs(const BuildInputs& inputs, const ResourcePool& pool) {
  std::string out(kRecordStart);
  out.reserve(128 + pool.Count() * 96);
  AddLine(out, "tool", inputs.tool);
  AddLine(out, "compiler", inputs.compiler);
  AddLine(out, "machine", inputs.machine);
  AddLine(out, "kind", inputs.kind);
  AddLine(out, "timestamp", std::to_string(inputs.timestamp));
  AddLine(out, "header", inputs.headerFile);
  AddLine(out, "folder", inputs.folder);
  out += "list ";
  AddText(out, inputs.listFile);
  AddStamp(out, inputs.listFile);
  out += '\n';
  for (const PoolEntry& entry : pool.Entries()) {
    out += "entry ";
    AddText(out, entry.Field(kKeyName));
    AddText(out, entry.Field(kResourceType));
    AddText(out, entry.Field(kFilePath));
    AddStamp(out, entry.Field(kFilePath));
    out += '\n';
  }
  return out;
}

bool BuildIsUpToDate(const std::string& outputFile, const std::string& headerFile, const std::string& inputs) {
  const std::optional<std::string> record = ReadWholeFile(BuildRecordFile(outputFile));
  if (!record || record->size() < inputs.size() || record->compare(0, inputs.size(), inputs) != 0) return false;
  if (!FileStampOf(outputFile)) return false;
  return record->compare(inputs.size(), std::string::npos, OutputLines(outputFile, headerFile)) == 0;
}

void WriteBuildRecord(const std::string& outputFile, const std::string& headerFile, const std::string& inputs) {
  ReplaceFileAtomically(BuildRecordFile(outputFile), inputs + OutputLines(outputFile, headerFile));
}

}  // namespace kovan
