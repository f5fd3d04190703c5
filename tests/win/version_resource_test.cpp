// The version resource of the shipped programs: the build's one version, in
// the numbers and in the texts of both language blocks.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/file_system.hpp"
#include "base/text.hpp"
#include "kovan_version.h"

namespace {

std::wstring QueryText(const std::vector<BYTE>& info, const wchar_t* block, const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) return L"(missing)";
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

TEST(VersionResource, CarriesTheBuildsVersionInNumbersAndTexts) {
  const std::wstring version = kovan::ToWide(KOVAN_VERSION_TEXT);
  for (const std::wstring name : {L"Kovan", L"kovanc"}) {
    SCOPED_TRACE(kovan::ToUtf8(name));
    const std::wstring file = kovan::ToWide(kovan::ExeFolder()) + name + L".exe";
    DWORD handle = 0;
    std::vector<BYTE> info(GetFileVersionInfoSizeW(file.c_str(), &handle));
    ASSERT_FALSE(info.empty()) << "no version resource";
    ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    const DWORD high = MAKELONG(KOVAN_VERSION_MINOR, KOVAN_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, KOVAN_VERSION_BUILD);
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);

    for (const wchar_t* block : {L"041F04B0", L"040904B0"}) {
      SCOPED_TRACE(kovan::ToUtf8(block));
      EXPECT_EQ(QueryText(info, block, L"FileVersion"), version);
      EXPECT_EQ(QueryText(info, block, L"ProductVersion"), version);
      EXPECT_EQ(QueryText(info, block, L"ProductName"), L"Kovan");
      EXPECT_EQ(QueryText(info, block, L"CompanyName"), L"ORSEL RIRUDIR");
      EXPECT_EQ(QueryText(info, block, L"OriginalFilename"), name + L".exe");
      EXPECT_NE(QueryText(info, block, L"FileDescription"), L"(missing)");
      EXPECT_NE(QueryText(info, block, L"LegalCopyright").find(L"ORSEL RIRUDIR"), std::wstring::npos);
    }
  }
}

}  // namespace
