// The settings store against the real registry, in a scratch key of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_util.hpp"
#include "settings/settings_store.hpp"
#include "base/handles.win32.hpp"
#include "base/text.hpp"
#include "platform/win32_registry.win32.hpp"

namespace kovan {
namespace {

constexpr wchar_t kScratchParent[] = L"Software\\KovanTests";

class RealRegistry : public ::testing::Test {
 protected:
  RealRegistry() : scratch_(ToUtf8(kScratchParent) + "\\settings-" + std::to_string(test::ProcessId())) {}
  ~RealRegistry() override {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, ToWide(scratch_).c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ToWide(scratch_).c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kScratchParent);  // only when no other run uses it
  }

  // Sets a value the way another program would, bypassing the store.
  void SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(registry.CreateKey(RegistryRoot::LocalMachine, scratch_), RegistryStatus::Ok);
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, ToWide(scratch_).c_str(), 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
    const UniqueHKey key(raw);
    ASSERT_EQ(RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
  }
  void SetText(const std::wstring& name, const std::wstring& text, DWORD type = REG_SZ) {
    SetRaw(name, type, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }

  // A value as the registry API reports it.
  std::pair<DWORD, std::vector<BYTE>> GetRaw(const std::wstring& name) {
    std::vector<BYTE> data(64);
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(data.size());
    EXPECT_EQ(RegGetValueW(HKEY_LOCAL_MACHINE, ToWide(scratch_).c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                           data.data(), &size),
              ERROR_SUCCESS);
    data.resize(size);
    return {type, data};
  }

  std::string scratch_;
  Win32Registry registry;
  SettingsStore store{registry, scratch_};
};

TEST_F(RealRegistry, WritesAreDwordsInTwosComplementAndUpperCaseText) {
  ASSERT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, scratch_));
  store.WriteInteger("Ust", -1200);
  store.WriteBoolean("EnUst", true);
  store.WriteBoolean("Trans", false);

  const auto [ustType, ust] = GetRaw(L"Ust");
  EXPECT_EQ(ustType, static_cast<DWORD>(REG_DWORD));
  ASSERT_EQ(ust.size(), 4u);
  DWORD dword = 0;
  memcpy(&dword, ust.data(), 4);
  EXPECT_EQ(dword, 0xFFFFFB50u);

  const auto [enUstType, enUst] = GetRaw(L"EnUst");
  EXPECT_EQ(enUstType, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(enUst.size(), sizeof L"TRUE");
  EXPECT_EQ(memcmp(enUst.data(), L"TRUE", sizeof L"TRUE"), 0);
  const auto [transType, trans] = GetRaw(L"Trans");
  EXPECT_EQ(transType, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(trans.size(), sizeof L"FALSE");
  EXPECT_EQ(memcmp(trans.data(), L"FALSE", sizeof L"FALSE"), 0);

  EXPECT_EQ(store.ReadInteger("Ust", 0), -1200);
  EXPECT_TRUE(store.ReadBoolean("EnUst", false));
  EXPECT_FALSE(store.ReadBoolean("Trans", true));
}

TEST_F(RealRegistry, ValuesOfOtherTypesReadByTheRules) {
  SetText(L"TransI", L"6");
  SetText(L"Klasor", L"yes");
  SetText(L"Skontrol", L"0");
  SetText(L"Expand", L"12", REG_EXPAND_SZ);
  SetRaw(L"Bare", REG_SZ, L"7", sizeof(wchar_t));  // no terminator stored
  const DWORD one = 1;
  SetRaw(L"Dword", REG_DWORD, &one, sizeof one);
  const unsigned long long big = 0x100000005ull;
  SetRaw(L"Qword", REG_QWORD, &big, sizeof big);
  SetRaw(L"Binary", REG_BINARY, "Y", 1);

  EXPECT_EQ(store.ReadInteger("TransI", 255), 6);
  EXPECT_TRUE(store.ReadBoolean("Klasor", false));
  EXPECT_FALSE(store.ReadBoolean("Skontrol", true));
  EXPECT_EQ(store.ReadInteger("Expand", 0), 12);
  EXPECT_EQ(store.ReadInteger("Bare", 0), 7);
  EXPECT_EQ(store.ReadInteger("Dword", 0), 1);
  EXPECT_FALSE(store.ReadBoolean("Dword", false));  // a DWORD boolean reads as the default
  EXPECT_EQ(store.ReadInteger("Qword", 0), 5);
  EXPECT_TRUE(store.ReadBoolean("Binary", false));
  EXPECT_EQ(store.ReadInteger("Missing", -3), -3);
}

TEST_F(RealRegistry, StatusesOfMissingKeysAndValues) {
  RegistryValue value;
  EXPECT_FALSE(registry.KeyExists(RegistryRoot::LocalMachine, scratch_));
  EXPECT_EQ(registry.ReadValue(RegistryRoot::LocalMachine, scratch_, "x", value), RegistryStatus::NotFound);
  EXPECT_EQ(registry.WriteValue(RegistryRoot::LocalMachine, scratch_, "x", RegistryValue::Dword(1)),
            RegistryStatus::NotFound);
  const std::string deep = scratch_ + "\\a\\b";
  EXPECT_EQ(registry.CreateKey(RegistryRoot::LocalMachine, deep), RegistryStatus::Ok);
  EXPECT_TRUE(registry.KeyExists(RegistryRoot::LocalMachine, deep));
  EXPECT_EQ(registry.ReadValue(RegistryRoot::LocalMachine, deep, "x", value), RegistryStatus::NotFound);
  EXPECT_EQ(registry.WriteValue(RegistryRoot::LocalMachine, deep, "x", RegistryValue::Text("ş")), RegistryStatus::Ok);
  ASSERT_EQ(registry.ReadValue(RegistryRoot::LocalMachine, deep, "X", value), RegistryStatus::Ok);
  EXPECT_EQ(value.type, kRegSz);
  EXPECT_EQ(value.AsText(), "ş");
}

}  // namespace
}  // namespace kovan
