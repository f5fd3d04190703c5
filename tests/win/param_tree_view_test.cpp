// The parameter tree's own control: the keys and clicks a tree answers, its
// menu, scrolling over more rows than fit, and what screen readers read of it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "base/com.win32.hpp"
#include "controls/param_tree/param_tree_view.win32.hpp"

namespace kovan {
namespace {

class ParamTreeViewTest : public ::testing::Test {
 protected:
  // `roots` roots of two children each, in a tree 200 by `height` pixels.
  void Make(size_t roots, int height, ui::ParamTreeView::Callbacks callbacks = {}) {
    for (size_t i = 0; i < roots; ++i) {
      const size_t root = model.AddRoot("<B>root" + std::to_string(i) + "</B>");
      model.AddChild(root, "child a");
      model.AddChild(root, "child b");
    }
    host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 240, height + 20, nullptr, nullptr,
                           nullptr, nullptr);
    ASSERT_NE(host, nullptr);
    ASSERT_TRUE(view.Create(host, RECT{0, 0, 200, height}, 96, std::move(callbacks)));
  }
  void TearDown() override {
    if (view.hwnd()) DestroyWindow(view.hwnd());
    if (host) DestroyWindow(host);
  }

  void Press(WPARAM key) { SendMessageW(view.hwnd(), WM_KEYDOWN, key, 0); }
  // A point in the middle of a row's height, `x` pixels in.
  LPARAM At(size_t row, int x) {
    const int height = static_cast<int>(SendMessageW(view.hwnd(), TVM_GETITEMHEIGHT, 0, 0));
    return MAKELPARAM(x, static_cast<int>(row - view.TopRow()) * height + height / 2);
  }

  ParamTreeModel model;
  ui::ParamTreeView view{model};
  HWND host = nullptr;
};

TEST_F(ParamTreeViewTest, TheKeysMoveOpenAndCloseAsInAnyTree) {
  Make(3, 200);
  struct Step {
    WPARAM key;
    size_t selected;
    size_t rows;
  };
  const Step steps[] = {
      {VK_DOWN, 0, 3},      // nothing selected: the first row
      {VK_RIGHT, 0, 5},     // opens it
      {VK_RIGHT, 1, 5},     // on to its first child
      {VK_DOWN, 2, 5},      //
      {VK_LEFT, 0, 5},      // a child goes up to its parent
      {VK_LEFT, 0, 3},      // an open node closes
      {VK_END, 6, 3},       //
      {VK_ADD, 6, 5},       //
      {VK_DOWN, 7, 5},      //
      {VK_SUBTRACT, 7, 5},  // a child has nothing to close
      {VK_BACK, 6, 5},      // up to the parent
      {VK_SUBTRACT, 6, 3},  //
      {VK_HOME, 0, 3},      //
      {VK_UP, 0, 3},        // nothing above the first row
      {VK_MULTIPLY, 0, 5},  //
  };
  for (const Step& step : steps) {
    Press(step.key);
    EXPECT_EQ(model.Selected(), step.selected) << "key " << step.key;
    EXPECT_EQ(view.RowCount(), step.rows) << "key " << step.key;
  }

  // Folding away the selected node moves the selection up to the folding one.
  model.SelectNode(2);
  SendMessageW(view.hwnd(), TVM_EXPAND, TVE_COLLAPSE, static_cast<LPARAM>(model.IdOf(0)));
  EXPECT_EQ(model.Selected(), 0u);
  EXPECT_EQ(view.RowCount(), 3u);
}

TEST_F(ParamTreeViewTest, TypingSelectsTheNextRowThatStartsWithIt) {
  Make(3, 200);
  model.SetAllExpanded(true);
  auto type = [&](const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(view.hwnd(), WM_CHAR, *c, 0);
  };
  type(L"C");
  EXPECT_EQ(model.Selected(), 1u) << "the first row that starts with it, in any case";
  type(L"c");
  EXPECT_EQ(model.Selected(), 2u) << "the same letter again steps on";
  Sleep(1100);
  type(L"root2");
  EXPECT_EQ(model.Selected(), 6u);
  Sleep(1100);
  type(L"x");
  EXPECT_EQ(model.Selected(), 6u) << "no row starts with it";
}

TEST_F(ParamTreeViewTest, TheButtonOpensWithoutSelectingAndADoubleClickOnTheTextOpensToo) {
  Make(3, 200);
  const int indent = 19;  // at 96 DPI
  SendMessageW(view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(1, indent / 2));
  EXPECT_TRUE(model.IsExpanded(3));
  EXPECT_EQ(model.Selected(), std::nullopt) << "the button does not select";
  EXPECT_EQ(view.RowCount(), 5u);

  SendMessageW(view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(2, 2 * indent + 10));  // a child's text
  EXPECT_EQ(model.Selected(), 4u);

  SendMessageW(view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, At(4, indent + 10));
  SendMessageW(view.hwnd(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(4, indent + 10));
  EXPECT_EQ(model.Selected(), 6u);
  EXPECT_TRUE(model.IsExpanded(6));
  EXPECT_EQ(view.RowCount(), 7u);
}

TEST_F(ParamTreeViewTest, TheMenuOpensOnceForARightClickAndForTheMenuKeyUnderTheSelectedRow) {
  std::vector<POINT> menus;
  ui::ParamTreeView::Callbacks callbacks;
  callbacks.openMenu = [&](POINT pt) { menus.push_back(pt); };
  Make(3, 200, std::move(callbacks));
  SendMessageW(view.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, At(1, 40));
  SendMessageW(view.hwnd(), WM_RBUTTONUP, 0, At(1, 40));
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(model.Selected(), std::nullopt) << "a right click leaves the selection";

  model.SelectNode(3);
  SendMessageW(view.hwnd(), WM_KEYDOWN, VK_APPS, 0);
  SendMessageW(view.hwnd(), WM_KEYUP, VK_APPS, 0);
  ASSERT_EQ(menus.size(), 2u);
  RECT row{};
  const auto item = reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(model.IdOf(3)));
  std::memcpy(&row, &item, sizeof item);  // the item goes in the rectangle
  ASSERT_TRUE(SendMessageW(view.hwnd(), TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row)));
  POINT below{row.left, row.bottom};
  ClientToScreen(view.hwnd(), &below);
  EXPECT_EQ(menus[1].x, below.x);
  EXPECT_EQ(menus[1].y, below.y);
}

TEST_F(ParamTreeViewTest, ScrollingKeepsTheSelectionInSightAndTheBarsFollowTheRows) {
  Make(200, 100);
  const size_t page = static_cast<size_t>(SendMessageW(view.hwnd(), TVM_GETVISIBLECOUNT, 0, 0));
  ASSERT_GT(page, 2u);
  ASSERT_LT(page, 10u);
  auto bar = [&] {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(view.hwnd(), SB_VERT, &info);
    return info;
  };
  EXPECT_EQ(bar().nMax, 199);
  EXPECT_EQ(bar().nPage, page);

  Press(VK_END);
  EXPECT_EQ(model.Selected(), 3u * 199);
  EXPECT_EQ(view.TopRow(), 200 - page) << "the last row at the bottom";
  EXPECT_EQ(static_cast<size_t>(bar().nPos), view.TopRow());

  SendMessageW(view.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  EXPECT_EQ(view.TopRow(), 200 - page - lines);
  EXPECT_EQ(model.Selected(), 3u * 199) << "the wheel leaves the selection";

  SendMessageW(view.hwnd(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(view.TopRow(), 0u);
  Press(VK_NEXT);  // from the last row, a page on
  EXPECT_EQ(model.Selected(), 3u * 199);
  Press(VK_PRIOR);
  EXPECT_EQ(model.Selected(), 3u * (200 - page));
  EXPECT_GE(3u * (200 - page), 3u * view.TopRow());

  // Opening everything at the selection keeps it in sight.
  model.SetAllExpanded(true);
  EXPECT_EQ(view.RowCount(), 600u);
  const std::optional<size_t> row = view.RowOf(*model.Selected());
  ASSERT_TRUE(row.has_value());
  EXPECT_GE(*row, view.TopRow());
  EXPECT_LT(*row, view.TopRow() + page);
  MSG msg;  // the bars follow once the changes are over
  while (PeekMessageW(&msg, view.hwnd(), 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  EXPECT_EQ(bar().nMax, 599);
}

TEST_F(ParamTreeViewTest, ScreenReadersReadTheRowsOnShowAndCanOpenAndSelectThem) {
  const ComApartment com;
  Make(3, 200);
  IAccessible* outline = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(view.hwnd(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&outline)),
            S_OK);
  ASSERT_NE(outline, nullptr);
  auto child = [](long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
  };
  auto name = [&](long id) {
    BSTR text = nullptr;
    std::wstring read;
    if (outline->get_accName(child(id), &text) == S_OK && text) read = text;
    SysFreeString(text);
    return read;
  };
  auto state = [&](long id) {
    VARIANT v;
    VariantInit(&v);
    outline->get_accState(child(id), &v);
    return v.lVal;
  };
  long count = 0;
  EXPECT_EQ(outline->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(name(2), L"root1") << "the text shown, without the markup";
  VARIANT role;
  VariantInit(&role);
  EXPECT_EQ(outline->get_accRole(child(2), &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_OUTLINEITEM);
  EXPECT_TRUE(state(2) & STATE_SYSTEM_COLLAPSED);

  EXPECT_EQ(outline->accDoDefaultAction(child(2)), S_OK);
  EXPECT_TRUE(model.IsExpanded(3));
  EXPECT_EQ(outline->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 5);
  EXPECT_EQ(name(3), L"child a");
  EXPECT_TRUE(state(2) & STATE_SYSTEM_EXPANDED);

  EXPECT_EQ(outline->accSelect(SELFLAG_TAKESELECTION, child(3)), S_OK);
  EXPECT_EQ(model.Selected(), 4u);
  VARIANT selected;
  VariantInit(&selected);
  EXPECT_EQ(outline->get_accSelection(&selected), S_OK);
  EXPECT_EQ(selected.lVal, 3);
  EXPECT_TRUE(state(3) & STATE_SYSTEM_SELECTED);
  EXPECT_EQ(outline->get_accName(child(6), nullptr), E_POINTER);
  BSTR none = nullptr;
  EXPECT_EQ(outline->get_accName(child(6), &none), E_INVALIDARG) << "past the last row";

  outline->Release();

  // A tool may hold the object after its tree has gone; it then only says so.
  ParamTreeModel other;
  other.AddRoot("x");
  auto gone = std::make_unique<ui::ParamTreeView>(other);
  ASSERT_TRUE(gone->Create(host, RECT{0, 0, 50, 50}, 96, {}));
  IAccessible* held = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(gone->hwnd(), static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                       reinterpret_cast<void**>(&held)),
            S_OK);
  gone.reset();
  EXPECT_EQ(held->get_accChildCount(&count), RPC_E_DISCONNECTED);
  held->Release();
}

}  // namespace
}  // namespace kovan
