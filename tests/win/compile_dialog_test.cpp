// The save and open dialogs of the compile commands, answered by a helper
// thread the way a user would: type a name and press the button.
#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "base/text.hpp"
#include "platform/win32_prompter.win32.hpp"

namespace kovan {
namespace {

// Finds the dialog titled `title`, types `name` (when given) and presses OK,
// or presses Cancel. Gives up after ten seconds.
std::thread Answer(std::wstring title, std::optional<std::wstring> name) {
  return std::thread([title = std::move(title), name = std::move(name)] {
    for (int i = 0; i < 200; ++i) {
      if (HWND dialog = FindWindowW(L"#32770", title.c_str())) {
        if (!name) {
          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
          return;
        }
        // Newer dialogs put the name in a combo box, older ones in an edit.
        HWND edit = GetDlgItem(dialog, cmb13);
        if (!edit) edit = GetDlgItem(dialog, edt1);
        SetWindowTextW(edit, name->c_str());
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(50);
    }
  });
}

TEST(Win32PrompterDialogs, ReturnTheTypedNameOrNothing) {
  wchar_t temp[MAX_PATH];
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::string folder = ToUtf8(temp);
  Win32Prompter prompter;

  // No extension is added and a name that does not exist is taken as it stands.
  std::thread user = Answer(L"RES dosyasi olarak kaydet", ToWide(folder + "kovan-dialog-test-app"));
  const std::optional<std::string> saved = prompter.SaveDialog({"RES dosyasi olarak kaydet", "RES|res", {}});
  user.join();
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(*saved, folder + "kovan-dialog-test-app");

  user = Answer(L".RES", ToWide(folder + "kovan-no-such-file.res"));
  const std::optional<std::string> opened = prompter.OpenDialog({".RES", "RES|*.res", {}});
  user.join();
  ASSERT_TRUE(opened.has_value());
  EXPECT_EQ(*opened, folder + "kovan-no-such-file.res");

  user = Answer(L".RES", std::nullopt);
  EXPECT_FALSE(prompter.OpenDialog({".RES", "RES|*.res", "start.res"}).has_value());
  user.join();
}

}  // namespace
}  // namespace kovan
