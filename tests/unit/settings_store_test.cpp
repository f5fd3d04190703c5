#include "settings/settings_store.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_registry.hpp"

namespace kovan {
namespace {

constexpr RegistryRoot kLM = RegistryRoot::LocalMachine;
constexpr RegistryRoot kCU = RegistryRoot::CurrentUser;

class SettingsStoreTest : public ::testing::Test {
 protected:
  void Put(RegistryRoot root, const std::string& name, const RegistryValue& value) {
    ASSERT_EQ(registry.CreateKey(root, kSettingsKey), RegistryStatus::Ok);
    ASSERT_EQ(registry.WriteValue(root, kSettingsKey, name, value), RegistryStatus::Ok);
  }
  RegistryValue Get(RegistryRoot root, const std::string& name) {
    RegistryValue value;
    EXPECT_EQ(registry.ReadValue(root, kSettingsKey, name, value), RegistryStatus::Ok) << name;
    return value;
  }

  MemoryRegistry registry;
  SettingsStore store{registry};
};

constexpr char kCreateError[] = "Unable to create key 'Software\\ORSEL RIRUDIR\\Kovan\\s2.0'";

template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const RegistryError& e) {
    return e.what();
  }
  return "no error";
}

std::string Utf16(const std::string& ascii) {
  std::string bytes;
  for (char c : ascii) bytes += std::string{c, '\0'};
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char b : bytes) {
    hex += "0123456789ABCDEF"[b >> 4];
    hex += "0123456789ABCDEF"[b & 15];
    hex += ' ';
  }
  return hex;
}

struct ReadCase {
  uint32_t type;
  std::string data;
  int32_t integer;  // ReadInteger with the default 77
  bool withFalse;   // ReadBoolean with the default false
  bool withTrue;    // ReadBoolean with the default true
};

TEST_F(SettingsStoreTest, ReadRulesByTypeAndData) {
  const std::string sz = std::string("\0\0", 2);
  const std::vector<ReadCase> cases = {
      // Text is a signed decimal 64-bit number, cut to its low 32 bits.
      {kRegSz, Utf16("6") + sz, 6, true, true},
      {kRegSz, Utf16("-1200") + sz, -1200, true, true},
      {kRegSz, Utf16("+15") + sz, 15, true, true},
      {kRegSz, Utf16("4294967297") + sz, 1, true, true},
      {kRegSz, Utf16("7"), 7, true, true},  // stored without its terminator
      {kRegExpandSz, Utf16("12") + sz, 12, true, true},
      {kRegSz, Utf16("9223372036854775808") + sz, 77, false, true},
      {kRegSz, Utf16(" 5") + sz, 77, false, true},
      {kRegSz, Utf16("0x10") + sz, 77, false, true},
      {kRegSz, sz, 77, false, true},
      {kRegSz, Utf16("maybe") + sz, 77, false, true},
      // The listed words, in any letter case and untrimmed.
      {kRegSz, Utf16("TRUE") + sz, 77, true, true},
      {kRegSz, Utf16("yes") + sz, 77, true, true},
      {kRegSz, Utf16("y") + sz, 77, true, true},
      {kRegSz, Utf16("False") + sz, 77, false, false},
      {kRegSz, Utf16("No") + sz, 77, false, false},
      {kRegSz, Utf16("n") + sz, 77, false, false},
      {kRegSz, Utf16("0") + sz, 0, false, false},
      {kRegSz, Utf16("true ") + sz, 77, false, true},
      // Numbers in up to 8 little-endian bytes; booleans of these types read
      // as the default, except binary data, which is also taken as text.
      {kRegDword, std::string("\x50\xFB\xFF\xFF", 4), -1200, false, true},
      {kRegDword, std::string("\x01\0\0\0", 4), 1, false, true},
      {kRegDword, std::string("\0\0\0\0", 4), 0, false, true},
      {kRegQword, std::string("\x05\0\0\0\x01\0\0\0", 8), 5, false, true},
      {kRegBinary, "\x34\x12", 0x1234, true, true},
      {kRegBinary, "YES", 0x534559, true, true},
      {kRegBinary, "no", 0x6F6E, false, false},
      {kRegBinary, std::string("\0", 1), 0, false, false},
      {kRegBinary, "", 0, false, false},
      {kRegBinary, "123456789", 77, false, true},
      {kRegDwordBigEndian, std::string("\0\0\0\x01", 4), 77, false, true},
      {kRegMultiSz, Utf16("1") + sz + sz, 77, false, true},
      {kRegNone, "", 77, false, true},
  };
  for (const ReadCase& c : cases) {
    Put(kLM, "V", RegistryValue::Bytes(c.type, c.data));
    SCOPED_TRACE("type " + std::to_string(c.type) + ", data " + Hex(c.data));
    EXPECT_EQ(store.ReadInteger("V", 77), c.integer);
    EXPECT_EQ(store.ReadBoolean("V", false), c.withFalse);
    EXPECT_EQ(store.ReadBoolean("V", true), c.withTrue);
  }
}

TEST_F(SettingsStoreTest, MissingKeyOrValueGivesTheDefault) {
  EXPECT_EQ(store.ReadInteger("Ust", -5), -5);
  EXPECT_TRUE(store.ReadBoolean("Acilis", true));
  Put(kLM, "Other", RegistryValue::Dword(1));
  EXPECT_EQ(store.ReadInteger("Ust", 9), 9);
  EXPECT_FALSE(store.ReadBoolean("Klasor", false));
}

TEST_F(SettingsStoreTest, WritesCreateTheKeyAndStoreDwordsAndUpperCaseText) {
  ASSERT_FALSE(registry.KeyExists(kLM, kSettingsKey));
  store.WriteInteger("Ust", -1200);
  store.WriteBoolean("EnUst", true);
  store.WriteBoolean("Trans", false);
  store.WriteInteger("Sub\\Deep", 3);  // a name is split at its last backslash

  EXPECT_EQ(Get(kLM, "Ust").type, kRegDword);
  EXPECT_EQ(Get(kLM, "Ust").data, (std::vector<uint8_t>{0x50, 0xFB, 0xFF, 0xFF}));
  EXPECT_EQ(Get(kLM, "EnUst").type, kRegSz);
  EXPECT_EQ(Get(kLM, "EnUst").data, RegistryValue::Bytes(kRegSz, Utf16("TRUE") + std::string(2, '\0')).data);
  EXPECT_EQ(Get(kLM, "Trans").data, RegistryValue::Bytes(kRegSz, Utf16("FALSE") + std::string(2, '\0')).data);
  RegistryValue deep;
  EXPECT_EQ(registry.ReadValue(kLM, std::string(kSettingsKey) + "\\Sub", "Deep", deep), RegistryStatus::Ok);

  EXPECT_EQ(store.ReadInteger("Ust", 0), -1200);
  EXPECT_TRUE(store.ReadBoolean("EnUst", false));
  EXPECT_FALSE(store.ReadBoolean("Trans", true));
  EXPECT_EQ(store.ReadInteger("Sub\\Deep", 0), 3);
  EXPECT_FALSE(registry.KeyExists(kCU, kSettingsKey));  // an account that may write changes nothing else
}

TEST_F(SettingsStoreTest, FailedWritesRaiseTheirErrors) {
  registry.FailWrites(kLM, RegistryStatus::Failed);
  EXPECT_EQ(ErrorOf([&] { store.WriteBoolean("Klasor", true); }), kCreateError);
  registry.FailWrites(kLM, RegistryStatus::Ok);
  store.WriteBoolean("Klasor", true);
  registry.FailWrites(kLM, RegistryStatus::Failed);
  EXPECT_EQ(ErrorOf([&] { store.WriteInteger("Ust", 1); }),
            "Unable to open key \"HKEY_LOCAL_MACHINE\\Software\\ORSEL RIRUDIR\\Kovan\\s2.0\" for write");
  // Only a refusal for lack of access moves the write to the user's hive.
  EXPECT_FALSE(registry.KeyExists(kCU, kSettingsKey));
}

TEST_F(SettingsStoreTest, RefusedMachineWritesGoToTheUserKeyWhichReadsThenPrefer) {
  Put(kLM, "Klasor", RegistryValue::Text("yes"));
  Put(kLM, "TransI", RegistryValue::Dword(6));
  registry.FailWrites(kLM, RegistryStatus::AccessDenied);
  EXPECT_TRUE(store.ReadBoolean("Klasor", false));  // no user key yet: the machine's values

  store.WriteBoolean("Klasor", false);
  store.WriteInteger("TransI", 3);

  EXPECT_EQ(Get(kCU, "Klasor").data, RegistryValue::Text("FALSE").data);
  EXPECT_EQ(Get(kCU, "TransI").data, RegistryValue::Dword(3).data);
  EXPECT_EQ(Get(kLM, "Klasor").data, RegistryValue::Text("yes").data);  // untouched
  EXPECT_FALSE(store.ReadBoolean("Klasor", true));
  EXPECT_EQ(store.ReadInteger("TransI", 255), 3);

  // Once the user's key is in use, writes go there even where the machine's
  // key would take them, so reads never see a stale copy.
  registry.FailWrites(kLM, RegistryStatus::Ok);
  store.WriteInteger("TransI", 5);
  EXPECT_EQ(Get(kLM, "TransI").data, RegistryValue::Dword(6).data);
  EXPECT_EQ(store.ReadInteger("TransI", 255), 5);
}

TEST_F(SettingsStoreTest, RefusalInTheUserHiveTooIsRaised) {
  registry.FailWrites(kLM, RegistryStatus::AccessDenied);
  registry.FailWrites(kCU, RegistryStatus::AccessDenied);
  EXPECT_EQ(ErrorOf([&] { store.WriteBoolean("Klasor", true); }), kCreateError);
  registry.FailWrites(kCU, RegistryStatus::Ok);
  store.WriteBoolean("Klasor", true);
  registry.FailWrites(kCU, RegistryStatus::AccessDenied);
  EXPECT_EQ(ErrorOf([&] { store.WriteInteger("Ust", 1); }),
            "Unable to open key \"HKEY_CURRENT_USER\\Software\\ORSEL RIRUDIR\\Kovan\\s2.0\" for write");
}

}  // namespace
}  // namespace kovan
