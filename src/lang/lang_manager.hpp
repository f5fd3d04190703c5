// The language manager: the known languages and their files, the active
// language, the message constants in it, and the window controllers that a
// switch translates.
#pragma once

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lang/constants_table.hpp"
#include "lang/message_key.hpp"
#include "message_keys.hpp"

namespace kovan {

class LanguageController;
struct LangFile;

inline constexpr uint16_t kBaseLanguage = 1055;  // Turkish, the language built into the program

class LanguageManager {
 public:
  // Base and active language 1033, the constants as built in.
  LanguageManager();
  LanguageManager(const LanguageManager&) = delete;
  LanguageManager& operator=(const LanguageManager&) = delete;

  void SetBaseLanguage(uint16_t id);
  uint16_t BaseLanguage() const;
  uint16_t ActiveLanguage() const;
  // The ANSI code page of the active language.
  unsigned ActiveCodePage() const;

  // Languages by index: 0 is the base language, 1 to n the registered files in
  // the order they were first registered. An index out of range throws
  // std::out_of_range.
  int LanguageTotal() const;
  uint16_t LanguageIdAt(int index) const;
  std::string LanguageNameAt(int index) const;
  // The file of a language ("" for the base language).
  std::string LanguageFileAt(int index) const;
  // The index of the file with that language; 0 (the base) when none has it.
  int LanguageIndexOf(uint16_t id) const;

  // Registers the files of `folder` that match `mask` (and, with `recurse`,
  // those of its subfolders); returns how many were accepted. A file that
  // cannot be read is left out and listed in SkippedFiles().
  int ScanLanguageFolder(const std::string& folder, const std::string& mask, bool recurse);
  struct SkippedFile {
    std::string path;
    std::string reason;  // the error met while reading it
  };
  // The files the last scan left out, in the order it met them.
  std::vector<SkippedFile> SkippedFiles() const;
  // Registers one file by its LANGID. False for a missing file or a file
  // without a usable LANGID; true, without registering, for the base language.
  bool AddLanguageFile(const std::string& path);

  // Makes `id` the active language (the base language when no file has it),
  // sets the constants and translates every attached window. A bad file ends
  // the switch with its error and changes nothing.
  void SwitchLanguage(uint16_t id);

  // The text of a constant in the active language; throws LanguageError
  // ("Constant "%s" not found") for an unknown name.
  std::u16string ConstantText(std::string_view name) const;
  // The same in the active language's ANSI code page.
  std::string ConstantTextAnsi(std::string_view name) const;

  void AttachController(LanguageController& controller);
  void DetachController(LanguageController& controller);
  // Translates one window into the active language; nothing happens while the
  // base language is active.
  void TranslateController(LanguageController& controller);

  // Replaces the constants with a resource image and the added constants.
  void LoadConstants(std::span<const uint8_t> image);

 private:
  struct LanguageFileEntry {
    uint16_t id;
    std::string path;
  };

  int ScanFolder(const std::string& folder, const std::string& mask, bool recurse);
  const LanguageFileEntry* FileOf(uint16_t id) const;  // caller holds the lock
  void CheckIndex(int index) const;                    // caller holds the lock

  // All calls come from the user-interface thread, but lookups may come from
  // anywhere, so state is guarded for many readers and one writer.
  mutable std::shared_mutex lock_;
  uint16_t baseLanguage_ = 1033;
  uint16_t activeLanguage_ = 1033;
  unsigned activeCodePage_;
  ConstantsTable constants_;
  std::vector<LanguageController*> controllers_;  // not owned, in attach order
  std::vector<LanguageFileEntry> files_;
  std::vector<SkippedFile> skipped_;
  std::shared_ptr<const LangFile> activeFile_;  // the active language's file, none for the base
};

// The program's one manager. Its base language is Turkish from the start.
LanguageManager& LangManager();

// Shorthands for the program's own use, by compile-time key: UTF-16 as
// stored, the active code page's 8-bit text, and UTF-8 for the rest of the
// program.
std::u16string ConstantText(MessageKey key);
std::string ConstantTextAnsi(MessageKey key);
std::string Text(MessageKey key);

}  // namespace kovan
