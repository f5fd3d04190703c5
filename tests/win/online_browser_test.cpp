// The system side of opening web pages: reading associations from the classes
// root and starting a command line.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/text.hpp"
#include "online/browser_launch.win32.hpp"

namespace kovan {
namespace {

class ClassesRootKeys : public ::testing::Test {
 protected:
  ClassesRootKeys() : name_("KovanTest" + std::to_string(GetCurrentProcessId())) {}
  ~ClassesRootKeys() override { RegDeleteTreeW(HKEY_CLASSES_ROOT, ToWide(name_).c_str()); }

  // Sets the default value of `name_` + `subkey` under the classes root.
  void SetDefault(const std::string& subkey, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, ToWide(name_ + subkey).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, nullptr, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }
  void SetText(const std::string& subkey, DWORD type, const std::wstring& text, bool withNull = true) {
    SetDefault(subkey, type, text.c_str(), static_cast<DWORD>((text.size() + (withNull ? 1 : 0)) * sizeof(wchar_t)));
  }

  std::string name_;
  Win32ClassesRoot classes_;
};

TEST_F(ClassesRootKeys, ReadsTextDefaultValues) {
  SetText("", REG_SZ, L"Tarayıcı \"%1\"");
  EXPECT_EQ(classes_.ReadDefaultValue(name_), "Tarayıcı \"%1\"");

  SetText("\\unterminated", REG_SZ, L"b.exe %1", false);
  EXPECT_EQ(classes_.ReadDefaultValue(name_ + "\\unterminated"), "b.exe %1");

  SetText("\\shell\\open\\command", REG_EXPAND_SZ, L"%SystemRoot%\\b.exe %1");
  wchar_t root[MAX_PATH];
  ASSERT_GT(GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH), 0u);
  EXPECT_EQ(classes_.ReadDefaultValue(name_ + "\\shell\\open\\command"), ToUtf8(root) + "\\b.exe %1");

  const std::wstring longText(1000, L'x');
  SetText("\\long", REG_SZ, longText);
  EXPECT_EQ(classes_.ReadDefaultValue(name_ + "\\long"), std::string(1000, 'x'));
}

TEST_F(ClassesRootKeys, MissingKeysAndNonTextValuesAreUnreadable) {
  EXPECT_EQ(classes_.ReadDefaultValue(name_), std::nullopt);
  const DWORD number = 7;
  SetDefault("\\number", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(classes_.ReadDefaultValue(name_ + "\\number"), std::nullopt);
  SetText("\\novalue", REG_SZ, L"x");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, ToWide(name_ + "\\novalue").c_str(), 0, KEY_SET_VALUE, &key),
            ERROR_SUCCESS);
  RegDeleteValueW(key, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(classes_.ReadDefaultValue(name_ + "\\novalue"), std::nullopt);
}

TEST(Win32BrowserStarter, ReportsWhetherTheProcessStarted) {
  Win32BrowserStarter starter;
  EXPECT_TRUE(starter.StartMaximized("cmd.exe /c exit 0 http://localhost/"));
  EXPECT_FALSE(starter.StartMaximized("\"C:\\no such folder\\browser.exe\"  http://localhost/"));
}

}  // namespace
}  // namespace kovan
