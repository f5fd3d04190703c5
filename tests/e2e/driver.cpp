#include "driver.hpp"

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

#include "menu_probe.hpp"

namespace kovan::e2e {

namespace {

// The driver works in the screen's own pixels, whatever DPI Kovan runs at.
[[maybe_unused]] const bool kDpiAware =
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

struct CollectData {
  DWORD pid;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM lp) {
  auto* data = reinterpret_cast<CollectData*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == data->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == data->className) data->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM lp) {
  if (_wcsicmp(ClassOf(child).c_str(), L"Static") == 0) {
    auto* longest = reinterpret_cast<std::wstring*>(lp);
    std::wstring text = WindowText(child);
    if (text.size() > longest->size()) *longest = std::move(text);
  }
  return TRUE;
}

struct ChildSearch {
  const std::wstring* text;
  HWND found;
};

BOOL CALLBACK FindChildText(HWND child, LPARAM lp) {
  auto* search = reinterpret_cast<ChildSearch*>(lp);
  if (WindowText(child) != *search->text) return TRUE;
  search->found = child;
  return FALSE;
}

// Memory inside another process, for the messages whose pointers the system
// does not carry across (tree items, the menu probe's block).
class RemoteBuffer {
 public:
  RemoteBuffer(HANDLE process, size_t size)
      : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  void* address() const { return address_; }
  bool Write(const void* data, size_t size, size_t offset = 0) const {
    return WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr) != FALSE;
  }
  bool Read(void* data, size_t size, size_t offset = 0) const {
    return ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, nullptr) != FALSE;
  }

 private:
  HANDLE process_;
  void* address_;
};

class ProcessHandle {
 public:
  explicit ProcessHandle(DWORD pid)
      : handle_(OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                PROCESS_VM_WRITE,
                            FALSE, pid)) {}
  ~ProcessHandle() {
    if (handle_) CloseHandle(handle_);
  }
  ProcessHandle(const ProcessHandle&) = delete;
  ProcessHandle& operator=(const ProcessHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Runs `start(parameter)` on a new thread of `process`; its exit code.
std::optional<DWORD> RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter) {
  HANDLE thread = CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr);
  if (!thread) return std::nullopt;
  std::optional<DWORD> code;
  if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0) {
    DWORD exit = 0;
    if (GetExitCodeThread(thread, &exit)) code = exit;
  }
  CloseHandle(thread);
  return code;
}

// The probe is linked to load at a fixed address, so once it is loaded in
// both processes its entry points have the same address in each.
LPTHREAD_START_ROUTINE ProbeInProcess(HANDLE process, const char* entry) {
  static HMODULE local = LoadLibraryW((BinFolder() / L"kovan_menu_probe.dll").c_str());
  if (!local) return nullptr;
  const std::wstring path = (BinFolder() / L"kovan_menu_probe.dll").wstring();
  const size_t bytes = (path.size() + 1) * sizeof(wchar_t);
  RemoteBuffer name(process, bytes);
  if (!name.address() || !name.Write(path.c_str(), bytes)) return nullptr;
  auto* loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  const auto loaded = RunRemote(process, loadLibrary, name.address());
  // The thread's exit code holds the low half of the module's address.
  if (!loaded || *loaded != static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(local))) return nullptr;
  return reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(GetProcAddress(local, entry)));
}

std::optional<std::vector<MenuItem>> ReadMenu(DWORD pid, HMENU menu) {
  ProcessHandle process(pid);
  if (!process.get()) return std::nullopt;
  const LPTHREAD_START_ROUTINE read = ProbeInProcess(process.get(), "ReadOpenMenu");
  if (!read) return std::nullopt;
  RemoteBuffer remote(process.get(), sizeof(MenuProbeBlock));
  auto block = std::make_unique<MenuProbeBlock>();
  block->menu = menu;
  block->count = -1;
  if (!remote.Write(block.get(), sizeof *block)) return std::nullopt;
  if (RunRemote(process.get(), read, remote.address()) != 1u) return std::nullopt;
  if (!remote.Read(block.get(), sizeof *block) || block->count < 0) return std::nullopt;
  std::vector<MenuItem> items;
  for (int i = 0; i < block->count; ++i) {
    const ProbedMenuItem& probed = block->items[i];
    MenuItem item;
    item.text = probed.text;
    item.rect = probed.rect;
    item.separator = (probed.type & MFT_SEPARATOR) != 0;
    item.enabled = !item.separator && (probed.state & (MFS_DISABLED | MFS_GRAYED)) == 0;
    item.submenu = probed.hasSubmenu != FALSE;
    items.push_back(std::move(item));
  }
  return items;
}

bool ProcessEnded(DWORD pid) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
  if (!process) return true;
  const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

INPUT MouseInput(DWORD flags, POINT screen) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  // Absolute positions run from 0 to 65535 over the screen; round up so the
  // system's conversion back lands on the same pixel.
  in.mi.dx = static_cast<LONG>((static_cast<LONGLONG>(screen.x) * 65536 + width - 1) / width);
  in.mi.dy = static_cast<LONG>((static_cast<LONGLONG>(screen.y) * 65536 + height - 1) / height);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return in;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  Sleep(30);
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

std::wstring VisibleText(const std::wstring& markup) {
  std::wstring text;
  for (size_t i = 0; i < markup.size(); ++i) {
    if (markup[i] == L'<') {
      const size_t end = markup.find(L'>', i);
      if (end == std::wstring::npos) break;
      i = end;
      continue;
    }
    text += markup[i];
  }
  const std::pair<const wchar_t*, const wchar_t*> entities[] = {
      {L"&lt;", L"<"}, {L"&gt;", L">"}, {L"&quot;", L"\""}, {L"&amp;", L"&"}};
  for (const auto& [entity, character] : entities) {
    for (size_t at = text.find(entity); at != std::wstring::npos; at = text.find(entity, at + 1)) {
      text.replace(at, wcslen(entity), character);
    }
  }
  return text;
}

HWND FirstVisibleEdit(HWND dialog) {
  struct Search {
    HWND found = nullptr;
  } search;
  EnumChildWindows(
      dialog,
      [](HWND child, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0 && IsWindowVisible(child)) {
          s->found = child;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

std::vector<HWND> VisibleWindows(DWORD pid, const wchar_t* className) {
  CollectData data{pid, className, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND WaitForWindow(DWORD pid, const wchar_t* className, std::chrono::milliseconds timeout) {
  return PollUntil(timeout, [&]() -> HWND {
    const auto windows = VisibleWindows(pid, className);
    return windows.empty() ? nullptr : windows.front();
  });
}

HWND FindChildByText(HWND parent, const std::wstring& text) {
  ChildSearch search{&text, nullptr};
  EnumChildWindows(parent, FindChildText, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring TextOf(HWND hwnd) {
  // Asked of the window itself: a control of another process keeps its own
  // text, which the system's copy of the caption does not follow.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length)) return WindowText(hwnd);
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_BLOCK, 5000, &copied);
  text.resize(copied);
  return text;
}

RECT ScreenRect(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

namespace input {

void MoveTo(POINT screen) { Send({MouseInput(0, screen)}); }

void Click(POINT screen) {
  MoveTo(screen);
  Send({MouseInput(MOUSEEVENTF_LEFTDOWN, screen)});
  Send({MouseInput(MOUSEEVENTF_LEFTUP, screen)});
}

void Wheel(POINT screen, int notches) {
  MoveTo(screen);
  INPUT in = MouseInput(MOUSEEVENTF_WHEEL, screen);
  in.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
  Send({in});
}

void RightClick(POINT screen) {
  MoveTo(screen);
  Send({MouseInput(MOUSEEVENTF_RIGHTDOWN, screen)});
  Send({MouseInput(MOUSEEVENTF_RIGHTUP, screen)});
}

void PressAndReleaseAt(POINT from, POINT to) {
  MoveTo(from);
  Send({MouseInput(MOUSEEVENTF_LEFTDOWN, from)});
  for (int step = 1; step <= 4; ++step) {
    MoveTo(POINT{from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4});
  }
  Send({MouseInput(MOUSEEVENTF_LEFTUP, to)});
}

void Click(HWND window) {
  // A spot of the control that no other window covers, from its left.
  const RECT r = ScreenRect(window);
  const LONG y = (r.top + r.bottom) / 2;
  for (int i = 0; i < 8; ++i) {
    const POINT p{r.left + 4 + (r.right - r.left - 8) * i / 8, y};
    if (WindowFromPoint(p) == window) return Click(p);
  }
  Click(Centre(r));
}

void Key(WORD vk, std::initializer_list<WORD> held) {
  std::vector<INPUT> inputs;
  for (WORD modifier : held) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(vk, false));
  inputs.push_back(KeyInput(vk, true));
  for (auto it = held.end(); it != held.begin();) inputs.push_back(KeyInput(*--it, true));
  Send(std::move(inputs));
}

void Type(const std::wstring& text) {
  std::vector<INPUT> inputs;
  for (wchar_t c : text) {
    for (bool up : {false, true}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
      inputs.push_back(in);
    }
  }
  Send(std::move(inputs));
}

}  // namespace input

bool DragPanelTo(HWND panel, POINT to) {
  const RECT at = ScreenRect(panel);
  const auto arrived = [&] {
    const RECT now = ScreenRect(panel);
    return std::abs(now.left - to.x) <= 2 && std::abs(now.top - to.y) <= 2;
  };
  // On a loaded machine a drag can begin before the panel takes input; it is
  // made again from where the panel is then, as a user would.
  bool moved = false;
  for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
    const RECT from = ScreenRect(panel);
    const POINT grip{from.left + 20, from.bottom - 12};
    input::PressAndReleaseAt(grip, POINT{to.x + 20, to.y + (from.bottom - from.top) - 12});
    moved = WaitUntil(arrived, 5s);
  }
  // The hand moves on, so the panel's hover hint does not show.
  input::MoveTo(POINT{to.x + (at.right - at.left) + 40, to.y + (at.bottom - at.top) + 40});
  return moved;
}

const MenuItem* OpenMenu::Find(const std::wstring& text) const {
  for (const MenuItem& item : items) {
    if (!item.separator && item.text == text) return &item;
  }
  return nullptr;
}

std::vector<std::wstring> OpenMenu::Captions() const {
  std::vector<std::wstring> captions;
  for (const MenuItem& item : items) {
    if (!item.separator) captions.push_back(item.text);
  }
  return captions;
}

std::vector<OpenMenu> OpenMenus(DWORD pid) {
  std::vector<OpenMenu> menus;
  for (HWND window : VisibleWindows(pid, L"#32768")) {
    DWORD_PTR menu = 0;
    if (!SendMessageTimeoutW(window, MN_GETHMENU, 0, 0, SMTO_BLOCK, 5000, &menu) || !menu) continue;
    auto items = ReadMenu(pid, reinterpret_cast<HMENU>(menu));
    if (!items) continue;
    menus.push_back(OpenMenu{window, reinterpret_cast<HMENU>(menu), std::move(*items)});
  }
  // A menu opened later lies above the earlier ones: the window list runs
  // from the top, so the first menu opened comes last.
  return {menus.rbegin(), menus.rend()};
}

std::optional<OpenMenu> WaitForMenuWith(DWORD pid, const std::wstring& text, std::chrono::milliseconds timeout) {
  return PollUntil(timeout, [&]() -> std::optional<OpenMenu> {
    for (OpenMenu& menu : OpenMenus(pid)) {
      if (menu.Find(text)) return std::move(menu);
    }
    return std::nullopt;
  });
}

bool WaitForMenusClosed(DWORD pid, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return VisibleWindows(pid, L"#32768").empty(); }, timeout);
}

namespace {

// The nearest spot to `anchor`, on a coarse grid, that no window of process
// `pid` covers and that `allowed` accepts.
std::optional<POINT> FreeSpotNear(DWORD pid, POINT anchor, const std::function<bool(POINT)>& allowed) {
  struct Collect {
    DWORD pid;
    std::vector<RECT> rects;
  } collect{pid, {}};
  EnumWindows(
      [](HWND hwnd, LPARAM lp) -> BOOL {
        auto* c = reinterpret_cast<Collect*>(lp);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner == c->pid && IsWindowVisible(hwnd)) c->rects.push_back(ScreenRect(hwnd));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&collect));
  std::optional<POINT> best;
  LONGLONG bestDistance = 0;
  for (LONG y = 4; y < GetSystemMetrics(SM_CYSCREEN); y += 16) {
    for (LONG x = 4; x < GetSystemMetrics(SM_CXSCREEN); x += 16) {
      const POINT p{x, y};
      if (!allowed(p) ||
          std::any_of(collect.rects.begin(), collect.rects.end(), [&](const RECT& w) { return PtInRect(&w, p); })) {
        continue;
      }
      const LONGLONG distance = LONGLONG(x - anchor.x) * (x - anchor.x) + LONGLONG(y - anchor.y) * (y - anchor.y);
      if (!best || distance < bestDistance) {
        best = p;
        bestDistance = distance;
      }
    }
  }
  return best;
}

}  // namespace

std::optional<OpenMenu> OpenContextMenu(DWORD pid, HWND window, std::optional<POINT> at) {
  RECT client{};
  GetClientRect(window, &client);
  POINT point = at.value_or(Centre(client));
  ClientToScreen(window, &point);
  // As a user's hand does, the mouse leaves the spot it clicked at once, off
  // the panel, whose hint would show, and away from where the menu opens.
  const auto aside = FreeSpotNear(pid, point, [&](POINT p) { return p.x < point.x || p.y < point.y; });
  input::RightClick(point);
  if (aside) input::MoveTo(*aside);
  if (HWND window = WaitForWindow(pid, L"#32768")) MoveOffMenu(window);
  return PollUntil(10s, [&]() -> std::optional<OpenMenu> {
    auto menus = OpenMenus(pid);
    if (menus.empty() || menus.front().items.empty()) return std::nullopt;
    return std::move(menus.front());
  });
}

::testing::AssertionResult ChooseFromOpenMenu(DWORD pid, const std::vector<std::wstring>& path) {
  std::vector<HMENU> passed;
  for (size_t step = 0; step < path.size(); ++step) {
    const std::wstring& caption = path[step];
    std::optional<OpenMenu> menu = PollUntil(10s, [&]() -> std::optional<OpenMenu> {
      for (OpenMenu& open : OpenMenus(pid)) {
        if (std::find(passed.begin(), passed.end(), open.menu) == passed.end() && open.Find(caption)) {
          return std::move(open);
        }
      }
      return std::nullopt;
    });
    if (!menu) {
      std::wstring seen;
      for (const OpenMenu& open : OpenMenus(pid)) {
        seen += L" [";
        for (const std::wstring& c : open.Captions()) seen += L"\"" + c + L"\" ";
        seen += L"]";
      }
      DismissMenus(pid);
      return ::testing::AssertionFailure() << "no open menu offers " << ::testing::PrintToString(caption)
                                           << "; open menus:" << ::testing::PrintToString(seen);
    }
    const MenuItem& item = *menu->Find(caption);
    if (!item.enabled) {
      DismissMenus(pid);
      return ::testing::AssertionFailure() << ::testing::PrintToString(caption) << " is greyed out";
    }
    if (step + 1 < path.size() && !item.submenu) {
      DismissMenus(pid);
      return ::testing::AssertionFailure() << ::testing::PrintToString(caption) << " has no submenu";
    }
    passed.push_back(menu->menu);
    input::Click(Centre(item.rect));
  }
  if (!WaitForMenusClosed(pid)) {
    DismissMenus(pid);
    return ::testing::AssertionFailure() << "the menu stayed open after the choice";
  }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ChooseMenuItem(DWORD pid, HWND window, const std::vector<std::wstring>& path,
                                          std::optional<POINT> at) {
  if (!OpenContextMenu(pid, window, at)) {
    // A program that crashed may take a moment to end.
    const bool ended = WaitUntil([&] { return ProcessEnded(pid); }, 3s);
    return ::testing::AssertionFailure() << "no menu opened on a right click" << (ended ? "; the program ended" : "");
  }
  return ChooseFromOpenMenu(pid, path);
}

void MoveOffMenu(HWND menuWindow) {
  DWORD pid = 0;
  GetWindowThreadProcessId(menuWindow, &pid);
  const RECT r = ScreenRect(menuWindow);
  if (const auto spot = FreeSpotNear(pid, POINT{r.right, r.bottom}, [](POINT) { return true; })) input::MoveTo(*spot);
}

void DismissMenus(DWORD pid) {
  for (int i = 0; i < 4 && !VisibleWindows(pid, L"#32768").empty(); ++i) {
    input::Key(VK_ESCAPE);
    WaitForMenusClosed(pid, 500ms);
  }
}

std::vector<COLORREF> CaptureScreen(const RECT& r) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  std::vector<COLORREF> pixels;
  if (width <= 0 || height <= 0) return pixels;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const auto* data = static_cast<const DWORD*>(bits);
  pixels.assign(data, data + static_cast<size_t>(width) * static_cast<size_t>(height));
  for (COLORREF& pixel : pixels) pixel &= 0x00FFFFFF;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<TreeItem> ReadTree(HWND tree) {
  std::vector<TreeItem> items;
  DWORD pid = 0;
  GetWindowThreadProcessId(tree, &pid);
  ProcessHandle process(pid);
  constexpr size_t kTextChars = 2048;
  RemoteBuffer remote(process.get(), sizeof(TVITEMW) + kTextChars * sizeof(wchar_t));
  if (!remote.address()) return items;
  auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof(TVITEMW));

  auto read = [&](HTREEITEM handle, int depth) {
    TreeItem item{handle, depth, {}, {}, {}};
    TVITEMW query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = handle;
    query.pszText = remoteText;
    query.cchTextMax = kTextChars;
    std::vector<wchar_t> text(kTextChars, L'\0');
    remote.Write(text.data(), text.size() * sizeof(wchar_t), sizeof(TVITEMW));
    remote.Write(&query, sizeof query);
    if (SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address()))) {
      remote.Read(text.data(), text.size() * sizeof(wchar_t), sizeof(TVITEMW));
      text.back() = L'\0';
      item.markup = text.data();
      item.text = VisibleText(item.markup);
    }
    // TVM_GETITEMRECT takes the item in the rectangle it fills.
    RECT rect{};
    remote.Write(&rect, sizeof rect);
    remote.Write(&handle, sizeof handle);
    if (SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.address()))) {
      remote.Read(&rect, sizeof rect);
      MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      item.rect = rect;
    }
    return item;
  };

  std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM first, int depth) {
    for (HTREEITEM at = first; at; at = reinterpret_cast<HTREEITEM>(
                                       SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(at)))) {
      items.push_back(read(at, depth));
      walk(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(at))),
           depth + 1);
    }
  };
  walk(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0);
  return items;
}

size_t ShownRows(HWND tree) {
  const std::vector<TreeItem> items = ReadTree(tree);
  return static_cast<size_t>(std::count_if(items.begin(), items.end(), [](const TreeItem& item) {
    return !IsRectEmpty(&item.rect);
  }));
}

HTREEITEM SelectedTreeItem(HWND tree) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

HWND VisibleEditor(HWND pool) {
  struct Search {
    HWND pool;
    HWND found = nullptr;
  } search{pool};
  EnumThreadWindows(
      GetWindowThreadProcessId(pool, nullptr),
      [](HWND w, LPARAM lp) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(lp);
        wchar_t name[16] = {};
        GetClassNameW(w, name, 16);
        if (IsWindowVisible(w) && lstrcmpiW(name, L"Edit") == 0 && GetWindow(w, GW_OWNER) == s.pool) s.found = w;
        return s.found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool DropFiles(DWORD pid, HWND window, const std::vector<std::filesystem::path>& files) {
  auto block = std::make_unique<DropProbeBlock>();
  block->window = window;
  const RECT client = ScreenRect(window);
  block->point = POINT{(client.right - client.left) / 2, (client.bottom - client.top) / 2};
  if (files.empty() || files.size() > std::size(block->paths)) return false;
  block->count = static_cast<int>(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    const std::wstring path = files[i].wstring();
    if (path.size() >= MAX_PATH) return false;
    lstrcpyW(block->paths[i], path.c_str());
  }
  ProcessHandle process(pid);
  if (!process.get()) return false;
  const LPTHREAD_START_ROUTINE drop = ProbeInProcess(process.get(), "DropFilesOnWindow");
  if (!drop) return false;
  RemoteBuffer remote(process.get(), sizeof(DropProbeBlock));
  return remote.Write(block.get(), sizeof *block) && RunRemote(process.get(), drop, remote.address()) == 1u;
}

bool AnswerFileDialog(DWORD pid, const std::filesystem::path& path, std::chrono::milliseconds timeout) {
  HWND edit = PollUntil(timeout, [&]() -> HWND {
    for (HWND dialog : VisibleWindows(pid, L"#32770")) {
      if (HWND found = FirstVisibleEdit(dialog)) return found;
    }
    return nullptr;
  });
  if (!edit) return false;
  HWND dialog = GetAncestor(edit, GA_ROOT);
  input::Click(edit);
  input::Key(VK_END);
  input::Key(VK_HOME, {VK_SHIFT});
  input::Type(path.wstring());
  input::Key(VK_RETURN);
  auto closed = [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); };
  if (WaitUntil(closed, 2s)) return true;
  // A folder typed into a folder dialog is entered first; Enter once more
  // takes the folder it now shows.
  input::Key(VK_RETURN);
  return WaitUntil(closed, timeout);
}

void ForgetSettings() {
  constexpr wchar_t kSettingsKey[] = L"Software\\ORSEL RIRUDIR\\Kovan\\s2.0";
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSettingsKey);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

POINT DesignPoint(HWND window, int designWidth, POINT design) {
  RECT client{};
  GetClientRect(window, &client);
  POINT p{MulDiv(design.x, client.right, designWidth), MulDiv(design.y, client.right, designWidth)};
  ClientToScreen(window, &p);
  return p;
}

std::filesystem::path BinFolder() {
  wchar_t buffer[MAX_PATH];
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::filesystem::path(buffer).parent_path();
}

ScratchFolder::ScratchFolder() {
  std::random_device rd;
  path_ = std::filesystem::temp_directory_path() / (L"kovan-e2e-" + std::to_wstring(rd()));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

KovanProcess::KovanProcess(const std::filesystem::path& folder) {
  const auto bin = BinFolder();
  std::filesystem::copy_file(bin / "Kovan.exe", folder / "Kovan.exe",
                             std::filesystem::copy_options::overwrite_existing);
  if (std::filesystem::exists(bin / "dil")) {
    std::filesystem::copy(bin / "dil", folder / "dil",
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  Start(folder / "Kovan.exe", L"");
}

KovanProcess::KovanProcess(const std::filesystem::path& exe, const std::wstring& arguments) { Start(exe, arguments); }

void KovanProcess::Start(const std::filesystem::path& exe, const std::wstring& arguments) {
  // Under Wine, a crash ends the program at once instead of waiting in a
  // crash dialog; elsewhere the value means nothing.
  const DWORD no = 0;
  RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineDbg", L"ShowCrashDialog", REG_DWORD, &no, sizeof no);
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, exe.parent_path().c_str(),
                      &startup, &info_)) {
    info_ = {};
  }
}

KovanProcess::~KovanProcess() {
  if (info_.hProcess) {
    if (Running()) TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

bool KovanProcess::Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<MessageBoxInfo> KovanProcess::WaitForMessageBox(std::chrono::milliseconds timeout) {
  return PollUntil(timeout, [&]() -> std::optional<MessageBoxInfo> {
    for (HWND box : VisibleWindows(pid(), L"#32770")) {
      if (FirstVisibleEdit(box)) continue;  // a file dialog
      MessageBoxInfo info{box, WindowText(box), {}};
      EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&info.text));
      return info;
    }
    return std::nullopt;
  });
}

HWND KovanProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
  return WaitForWindow(pid(), L"TAnaPencere", timeout);
}

void KovanProcess::Press(HWND box, int buttonId) {
  HWND button = GetDlgItem(box, buttonId);
  if (!button) return;
  // A box is placed once shown; click where its button has come to rest.
  RECT last = ScreenRect(button);
  WaitUntil(
      [&] {
        const RECT now = ScreenRect(button);
        const bool still = EqualRect(&now, &last) != FALSE;
        last = now;
        return still && IsWindowEnabled(button);
      },
      3s);
  if (GetAncestor(WindowFromPoint(Centre(ScreenRect(button))), GA_ROOT) == box) {
    input::Click(button);
    return;
  }
  // Under Wine, a box shown just after a file dialog closes can lie below
  // its owner for the mouse though it shows on top; the keyboard still
  // reaches it: Tab to the button, then Space.
  const DWORD thread = GetWindowThreadProcessId(box, nullptr);
  for (int i = 0; i < 8; ++i) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread, &info);
    if (info.hwndFocus == button) {
      input::Key(VK_SPACE);
      return;
    }
    input::Key(VK_TAB);
  }
}

bool KovanProcess::PressToClose(HWND box, int buttonId) {
  const auto closed = [box] { return !IsWindow(box) || !IsWindowVisible(box); };
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (!GetDlgItem(box, buttonId)) return closed();
    Press(box, buttonId);
    if (WaitUntil(closed, 5s)) return true;
  }
  return false;
}

std::optional<DWORD> KovanProcess::WaitForExit(std::chrono::milliseconds timeout) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

}  // namespace kovan::e2e
