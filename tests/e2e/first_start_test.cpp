#include <gtest/gtest.h>

#include "driver.hpp"

namespace kovan::e2e {
namespace {

TEST(FirstStart, CreatesAnEmptyListFileSaysSoAndClosesCleanly) {
  ScratchFolder folder;
  KovanProcess kovan(folder.path());
  ASSERT_TRUE(kovan.Running());

  const auto box = kovan.WaitForMessageBox();
  ASSERT_TRUE(box.has_value()) << "no message box at first start";
  EXPECT_EQ(box->caption, L"Kovan 2.0 - ORSEL RIRUDIR");
  EXPECT_EQ(box->text, L"Kaynak dosya listesi bulunamad\u0131...Yenisi olu\u015fturuldu");
  const auto list = folder.path() / "Liste.kvl";
  ASSERT_TRUE(std::filesystem::exists(list)) << "the list file is made before the box shows";
  EXPECT_EQ(std::filesystem::file_size(list), 0u);
  KovanProcess::Press(box->hwnd, IDOK);

  HWND main = kovan.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  const auto exitCode = kovan.WaitForExit();
  ASSERT_TRUE(exitCode.has_value()) << "Kovan did not close";
  EXPECT_EQ(*exitCode, 0u);
  EXPECT_EQ(std::filesystem::file_size(list), 0u);
}

}  // namespace
}  // namespace kovan::e2e
