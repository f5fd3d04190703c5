#include "windows/about/about_window.win32.hpp"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>

#include "base/text.hpp"
#include "resource_ids.h"
#include "win32/dpi.win32.hpp"
#include "win32/drawing.win32.hpp"
#include "win32/messages.win32.hpp"
#include "win32/palette.win32.hpp"
#include "win32/png_image.win32.hpp"
#include "windows/about/about_window_names.hpp"

namespace kovan {

namespace {

// Design sizes at 96 DPI.
constexpr int kWidth = 434;
constexpr int kHeight = 381;
constexpr int kLogoSize = 64;
constexpr int kCloseSize = 16;
constexpr int kPanelWidth = 428;
constexpr int kPanelTop = 95;
constexpr int kLinkLineHeight = 57;
constexpr int kHeadingTop = 24;
constexpr int kPictureWidth = 80;
constexpr int kPictureHeight = 54;
constexpr int kDefaultPoints = 8;

// A 32-bit top-down bitmap whose pixels the program can reach.
gdi::Bitmap MakeDib(int width, int height, void** bits) {
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = std::max(width, 1);
  bmi.bmiHeader.biHeight = -std::max(height, 1);
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  return gdi::Bitmap(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, bits, nullptr, 0));
}

uint32_t Blend(uint32_t under, uint32_t over, double amount) {
  uint32_t result = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double a = (under >> shift) & 0xFF;
    const double b = (over >> shift) & 0xFF;
    result |= static_cast<uint32_t>(a + (b - a) * amount + 0.5) << shift;
  }
  return result;
}

}  // namespace

bool AboutWindow::Create(HWND owner) {
  const WindowClassInfo windowClass{kAboutWindowClass};
  if (!CreateFor(windowClass, 0, WS_POPUP | WS_CLIPCHILDREN, RECT{0, 0, 0, 0}, owner, L"Kovan")) return false;
  CreateWindowExW(0, WC_BUTTONW, kAboutCloseCaption, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0, hwnd(),
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseButtonId)), GetModuleHandleW(nullptr), nullptr);
  // The main window's font, as the base of every text the window draws.
  baseFont_ = dpi::CaptionFont(Dpi());
  credits_.lines = CreditsText();
  links_.lines = LinkLine();
  heading_.lines = {Heading()};
  BuildPictures();

  SetWindowPos(hwnd(), nullptr, 0, 0, Scale(kWidth), Scale(kHeight), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  CentreInWorkArea();
  SetScrolling(true);
  ShowWindow(hwnd(), SW_SHOW);
  return true;
}

RECT AboutWindow::PanelRect() const {
  const int left = (Scale(kWidth) - Scale(kPanelWidth)) / 2;
  return RECT{left, Scale(kPanelTop), left + Scale(kPanelWidth), Scale(kPanelTop) + Scale(CreditsScroll::kPanelHeight)};
}

RECT AboutWindow::LinkLineRect() const {
  return RECT{1, Scale(kHeight) - Scale(kLinkLineHeight), Scale(kWidth) - 1, Scale(kHeight) - 1};
}

HFONT AboutWindow::FontFor(const TextRun& run) {
  const int points = run.size ? run.size : kDefaultPoints;
  const bool underline = !run.link.empty();
  const int key = points * 8 + (run.bold ? 4 : 0) + (run.italic ? 2 : 0) + (underline ? 1 : 0);
  gdi::Font& font = fonts_[key];
  if (!font.valid()) {
    LOGFONTW description = baseFont_;
    description.lfHeight = -MulDiv(points, static_cast<int>(Dpi()), 72);
    description.lfWeight = run.bold ? FW_BOLD : FW_NORMAL;
    description.lfItalic = run.italic ? TRUE : FALSE;
    description.lfUnderline = underline ? TRUE : FALSE;
    description.lfQuality = CLEARTYPE_QUALITY;
    font = gdi::MakeFont(description);
  }
  return font.get();
}

// Places every run of the block: lines centred in `width` and broken
// between words where they do not fit, the runs of a line on one baseline,
// pictures standing on it.
void AboutWindow::LayOut(HDC dc, TextBlock& block, int width) {
  struct Piece {
    const TextRun* run;
    std::wstring text;
    int width, ascent, descent;
  };
  block.placed.clear();
  int y = 0;
  std::vector<Piece> pieces;
  int piecesWidth = 0;
  const auto endLine = [&] {
    int ascent = 0;
    int descent = 0;
    for (const Piece& piece : pieces) {
      ascent = std::max(ascent, piece.ascent);
      descent = std::max(descent, piece.descent);
    }
    int x = (width - piecesWidth) / 2;
    for (Piece& piece : pieces) {
      const int top = y + ascent - piece.ascent;
      block.placed.push_back(
          {piece.run, std::move(piece.text), RECT{x, top, x + piece.width, top + piece.ascent + piece.descent}});
      x += piece.width;
    }
    y += ascent + descent;
    pieces.clear();
    piecesWidth = 0;
  };
  const auto add = [&](Piece piece) {
    if (piecesWidth + piece.width > width && !pieces.empty()) endLine();
    piecesWidth += piece.width;
    if (!pieces.empty() && pieces.back().run == piece.run && piece.run->picture < 0) {
      pieces.back().text += piece.text;
      pieces.back().width += piece.width;
    } else {
      pieces.push_back(std::move(piece));
    }
  };

  for (const TextLine& line : block.lines) {
    if (line.empty()) {
      gdi::Select font(dc, FontFor(TextRun{}));
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      y += metrics.tmHeight;
      continue;
    }
    for (const TextRun& run : line) {
      if (run.picture >= 0) {
        add(Piece{&run, L"", Scale(kPictureWidth), Scale(kPictureHeight), 0});
        continue;
      }
      gdi::Select font(dc, FontFor(run));
      TEXTMETRICW metrics{};
      GetTextMetricsW(dc, &metrics);
      const std::wstring text = ToWide(run.text);
      // Word by word, each word with the blanks after it.
      for (size_t at = 0; at < text.size();) {
        size_t end = text.find(L' ', at);
        end = end == std::wstring::npos ? text.size() : text.find_first_not_of(L' ', end);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring word = text.substr(at, end - at);
        SIZE size{};
        GetTextExtentPoint32W(dc, word.c_str(), static_cast<int>(word.size()), &size);
        add(Piece{&run, word, size.cx + (run.shadow ? 1 : 0), metrics.tmAscent, metrics.tmDescent});
        at = end;
      }
    }
    endLine();
  }
  block.height = y;
}

void AboutWindow::DrawBlock(HDC dc, const TextBlock& block, int left, int top) {
  SetBkMode(dc, TRANSPARENT);
  for (const PlacedRun& placed : block.placed) {
    const TextRun& run = *placed.run;
    const int x = left + placed.rect.left;
    const int y = top + placed.rect.top;
    if (run.picture >= 0) {
      if (static_cast<size_t>(run.picture) < creditPictures_.size()) {
        ui::DrawAlphaBitmap(dc, creditPictures_[static_cast<size_t>(run.picture)].get(), x, y, Scale(kPictureWidth),
                            Scale(kPictureHeight), 255);
      }
      continue;
    }
    gdi::Select font(dc, FontFor(run));
    const std::wstring& text = placed.text;
    if (run.shadow) {
      SetTextColor(dc, palette::kShadow);
      TextOutW(dc, x + 1, y + 1, text.c_str(), static_cast<int>(text.size()));
    }
    SetTextColor(dc, palette::FromRgbValue(run.colour));
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
  }
}

void AboutWindow::BuildPictures() {
  fonts_.clear();
  creditPictures_.clear();
  for (int i = 0; i < IDB_ABOUT_CREDITS_COUNT; ++i) {
    creditPictures_.push_back(ui::LoadPngResource(MAKEINTRESOURCEW(IDB_ABOUT_CREDITS_FIRST + i), Scale(kPictureWidth),
                                                  Scale(kPictureHeight)));
  }
  closePicture_ = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_CLOSE_16), Scale(kCloseSize));

  const gdi::WindowDc screen(hwnd());
  gdi::MemoryDc measure(screen.get());
  const int width = Scale(kWidth);
  const int height = Scale(kHeight);
  const int panelWidth = Scale(kPanelWidth);
  LayOut(measure.get(), credits_, panelWidth);
  LayOut(measure.get(), links_, width);
  LayOut(measure.get(), heading_, width);

  // The credits are drawn once, whole; each tick only copies the slice the
  // panel shows.
  creditsBitmap_ = gdi::Bitmap(CreateCompatibleBitmap(screen.get(), panelWidth, std::max(credits_.height, 1)));
  {
    gdi::MemoryDc canvas(screen.get());
    gdi::Select select(canvas.get(), creditsBitmap_);
    const RECT all{0, 0, panelWidth, credits_.height};
    FillRect(canvas.get(), &all, gdi::MakeBrush(palette::kWhite).get());
    DrawBlock(canvas.get(), credits_, 0, 0);
  }

  void* bits = nullptr;
  background_ = MakeDib(width, height, &bits);
  if (!background_.valid() || !bits) return;
  gdi::MemoryDc canvas(screen.get());
  gdi::Select select(canvas.get(), background_);
  DrawBackground(canvas.get(), width, height);
  DrawHeading(canvas.get(), bits, width, height);

  const int closeLeft = width - Scale(kCloseSize) - Scale(4);
  SetWindowPos(CloseButton(), nullptr, closeLeft, Scale(4), Scale(kCloseSize), Scale(kCloseSize),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void AboutWindow::DrawBackground(HDC dc, int width, int height) {
  const RECT all{0, 0, width, height};
  ui::FillVerticalGradient(dc, all, palette::kWhite, palette::kWhite);
  // The silver mirror the heading stands on, reaching down to the panel.
  const RECT mirror{1, Scale(kHeadingTop) + heading_.height * 3 / 4, width - 1, Scale(kPanelTop) - Scale(3)};
  ui::FillVerticalGradient(dc, mirror, palette::kWhite, palette::kMirror);
  const gdi::Pen edge = gdi::MakePen(1, palette::kMirrorEdge);
  {
    gdi::Select pen(dc, edge);
    MoveToEx(dc, mirror.left, mirror.bottom - 1, nullptr);
    LineTo(dc, mirror.right, mirror.bottom - 1);
  }
  FrameRect(dc, &all, gdi::MakeBrush(palette::kMirrorEdge).get());

  const gdi::Bitmap logo = ui::LoadPngResource(MAKEINTRESOURCEW(IDB_ABOUT_LOGO), Scale(kLogoSize));
  if (logo.valid()) ui::DrawAlphaBitmap(dc, logo.get(), Scale(4), Scale(4), Scale(kLogoSize));

  TextRun slogan;
  slogan.text = Slogan();
  slogan.italic = true;
  slogan.colour = 0x606060;
  {
    gdi::Select font(dc, FontFor(slogan));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, palette::FromRgbValue(slogan.colour));
    RECT line{Scale(kLogoSize) + Scale(8), Scale(6), width - Scale(kCloseSize) - Scale(8), Scale(22)};
    DrawTextW(dc, ToWide(slogan.text).c_str(), -1, &line, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  }

  const RECT panel = PanelRect();
  FillRect(dc, &panel, gdi::MakeBrush(palette::kWhite).get());
  const RECT links = LinkLineRect();
  FillRect(dc, &links, gdi::MakeBrush(palette::kWhite).get());
  {
    gdi::Select pen(dc, edge);
    MoveToEx(dc, links.left, links.top - 1, nullptr);
    LineTo(dc, links.right, links.top - 1);
  }
  DrawBlock(dc, links_, 0, links.top + (links.bottom - links.top - links_.height) / 2);
}

// The heading, and below it its reflection: the heading upside down, fading
// into the mirror.
void AboutWindow::DrawHeading(HDC dc, void* bits, int width, int height) {
  const int top = Scale(kHeadingTop);
  const int headingHeight = heading_.height;
  void* inkBits = nullptr;
  const gdi::Bitmap ink = MakeDib(width, headingHeight, &inkBits);
  if (!ink.valid() || !inkBits) return;
  {
    gdi::MemoryDc canvas(dc);
    gdi::Select select(canvas.get(), ink);
    const RECT all{0, 0, width, headingHeight};
    FillRect(canvas.get(), &all, gdi::MakeBrush(palette::kWhite).get());
    DrawBlock(canvas.get(), heading_, 0, 0);
  }
  DrawBlock(dc, heading_, 0, top);
  GdiFlush();

  // The reflection starts at the baseline: the heading has no descenders.
  TEXTMETRICW metrics{};
  {
    gdi::Select font(dc, FontFor(heading_.lines[0][0]));
    GetTextMetricsW(dc, &metrics);
  }
  const int baseline = headingHeight - metrics.tmDescent;
  const int depth = std::min(baseline * 2 / 3, Scale(kPanelTop) - Scale(4) - (top + baseline));
  const auto* source = static_cast<const uint32_t*>(inkBits);
  auto* target = static_cast<uint32_t*>(bits);
  for (int row = 0; row < depth; ++row) {
    const int targetRow = top + baseline + row;
    const int sourceRow = baseline - 1 - row;
    if (targetRow >= height || sourceRow < 0) break;
    const double strength = 0.5 * (1.0 - static_cast<double>(row) / depth);
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = source[static_cast<size_t>(sourceRow) * width + x] & 0xFFFFFF;
      if (pixel == 0xFFFFFF) continue;
      uint32_t& out = target[static_cast<size_t>(targetRow) * width + x];
      out = Blend(out & 0xFFFFFF, pixel, strength);
    }
  }
}

void AboutWindow::PaintCredits(HDC dc) {
  const RECT panel = PanelRect();
  const int panelHeight = panel.bottom - panel.top;
  const int panelWidth = panel.right - panel.left;
  // The text's top edge is `offset` pixels above the panel's top.
  const int offset = Scale(scroll_.Position());
  const int from = std::clamp(offset, 0, credits_.height);
  const int to = std::clamp(offset + panelHeight, 0, credits_.height);
  const gdi::Brush white = gdi::MakeBrush(palette::kWhite);
  const int sliceTop = panel.top + (from - offset);
  const int sliceBottom = sliceTop + (to - from);
  if (from < to) {
    gdi::MemoryDc source(dc);
    gdi::Select select(source.get(), creditsBitmap_);
    BitBlt(dc, panel.left, sliceTop, panelWidth, to - from, source.get(), 0, from, SRCCOPY);
  } else {
    // Nothing of the text shows: the whole panel is blank.
    const RECT blank = panel;
    FillRect(dc, &blank, white.get());
    return;
  }
  const RECT above{panel.left, panel.top, panel.right, sliceTop};
  const RECT below{panel.left, sliceBottom, panel.right, panel.bottom};
  if (above.bottom > above.top) FillRect(dc, &above, white.get());
  if (below.bottom > below.top) FillRect(dc, &below, white.get());
}

void AboutWindow::Paint(HDC dc) {
  const RECT panel = PanelRect();
  // The panel is left out of the background so it is drawn only once.
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, panel.left, panel.top, panel.right, panel.bottom);
  {
    gdi::MemoryDc source(dc);
    gdi::Select select(source.get(), background_);
    BitBlt(dc, 0, 0, Scale(kWidth), Scale(kHeight), source.get(), 0, 0, SRCCOPY);
  }
  RestoreDC(dc, saved);
  PaintCredits(dc);
}

const TextRun* AboutWindow::LinkAt(POINT client) const {
  const RECT lineRect = LinkLineRect();
  if (PtInRect(&lineRect, client)) {
    const int top = lineRect.top + (lineRect.bottom - lineRect.top - links_.height) / 2;
    const POINT inBlock{client.x, client.y - top};
    for (const PlacedRun& placed : links_.placed) {
      if (!placed.run->link.empty() && PtInRect(&placed.rect, inBlock)) return placed.run;
    }
    return nullptr;
  }
  const RECT panel = PanelRect();
  if (PtInRect(&panel, client)) {
    const POINT inText{client.x - panel.left, client.y - panel.top + Scale(scroll_.Position())};
    for (const PlacedRun& placed : credits_.placed) {
      if (!placed.run->link.empty() && PtInRect(&placed.rect, inText)) return placed.run;
    }
  }
  return nullptr;
}

void AboutWindow::SetScrolling(bool on) {
  scroll_.SetAutoScroll(on);
  if (on) {
    SetTimer(hwnd(), window_ids::kCreditsScrollTimer, static_cast<UINT>(CreditsScroll::kTickInterval.count()), nullptr);
  } else {
    KillTimer(hwnd(), window_ids::kCreditsScrollTimer);
  }
}

void AboutWindow::OnMouseMove(POINT client) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{};
    track.cbSize = sizeof track;
    track.dwFlags = TME_LEAVE;
    track.hwndTrack = hwnd();
    tracking_ = TrackMouseEvent(&track) != FALSE;
  }
  // The text stands still while the mouse rests on the panel.
  const RECT panel = PanelRect();
  const bool overPanel = PtInRect(&panel, client) != FALSE;
  if (overPanel == scroll_.AutoScroll()) SetScrolling(!overPanel);
}

void AboutWindow::OnDpiChanged(UINT, const RECT& suggested) {
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, Scale(kWidth), Scale(kHeight),
               SWP_NOZORDER | SWP_NOACTIVATE);
  baseFont_ = dpi::CaptionFont(Dpi());
  BuildPictures();
  InvalidateRect(hwnd(), nullptr, FALSE);
}

void AboutWindow::OnFinalMessage() {
  // Moved out first: the call may delete this object, and the function with it.
  const auto released = std::move(released_);
  if (released) released(*this);
}

LRESULT AboutWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_TIMER:
      if (wp == window_ids::kCreditsScrollTimer &&
          scroll_.Tick(MulDiv(credits_.height, static_cast<int>(dpi::kDesignDpi), static_cast<int>(Dpi())))) {
        const RECT panel = PanelRect();
        InvalidateRect(hwnd(), &panel, FALSE);
      }
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(MousePoint(lp)); return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      if (!scroll_.AutoScroll()) SetScrolling(true);
      return 0;
    case WM_SETCURSOR: {
      if (reinterpret_cast<HWND>(wp) == CloseButton() ||
          (reinterpret_cast<HWND>(wp) == hwnd() && LinkAt(CursorPosition()))) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    }
    case WM_LBUTTONUP: {
      const TextRun* link = LinkAt(MousePoint(lp));
      if (link && OpensWithShell(link->link)) {
        (void)shell_.Execute(ShellVerb::Open, link->link, ShowState::ShowNormal, false);
      }
      return 0;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == kCloseButtonId && HIWORD(wp) == BN_CLICKED) DestroyWindow(hwnd());
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      FillRect(item.hDC, &item.rcItem, gdi::MakeBrush(palette::kWhite).get());
      if (closePicture_.valid()) {
        const int shift = (item.itemState & ODS_SELECTED) ? 1 : 0;
        ui::DrawAlphaBitmap(item.hDC, closePicture_.get(), item.rcItem.left + shift, item.rcItem.top + shift,
                            Scale(kCloseSize));
      }
      return TRUE;
    }
    case WM_DESTROY: KillTimer(hwnd(), window_ids::kCreditsScrollTimer); return 0;
  }
  return Default(msg, wp, lp);
}

AboutWindow* AboutWindows::Open(HWND owner) {
  auto window = std::make_unique<AboutWindow>(shell_, [this](AboutWindow& closed) {
    std::erase_if(open_, [&closed](const std::unique_ptr<AboutWindow>& w) { return w.get() == &closed; });
  });
  if (!window->Create(owner)) return nullptr;
  open_.push_back(std::move(window));
  return open_.back().get();
}

}  // namespace kovan
