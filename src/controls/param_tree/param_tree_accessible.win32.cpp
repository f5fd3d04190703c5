#include "controls/param_tree/param_tree_accessible.win32.hpp"

#include <oleacc.h>

#include <string>

#include "base/com.win32.hpp"

namespace kovan::ui {

// The COM object itself. Rows are its simple children: child id k is row k - 1.
class OutlineObject final : public IAccessible {
 public:
  explicit OutlineObject(AccessibleOutline& outline) : outline_(&outline) {}

  void Disconnect() { outline_ = nullptr; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: tools call the interface directly; no type information.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    if (!outline_) return RPC_E_DISCONNECTED;
    return AccessibleObjectFromWindow(outline_->OutlineWindow(), static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    if (!outline_) return RPC_E_DISCONNECTED;
    *count = static_cast<long>(outline_->OutlineRowCount());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (!child) return E_POINTER;
    *child = nullptr;
    return outline_ ? S_FALSE : RPC_E_DISCONNECTED;  // the rows are simple children
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return RowString(child, name, [&](size_t row) { return outline_->OutlineRowText(row); });
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    // An outline item's value is its level, as tools expect of tree items.
    return RowString(child, value, [&](size_t row) { return std::to_wstring(outline_->OutlineRowLevel(row)); });
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return Nothing(text); }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    *role = IntVariant(row ? ROLE_SYSTEM_OUTLINEITEM : ROLE_SYSTEM_OUTLINE);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    const bool focused = GetFocus() == outline_->OutlineWindow();
    long flags = STATE_SYSTEM_FOCUSABLE;
    if (!row) {
      if (focused) flags |= STATE_SYSTEM_FOCUSED;
    } else {
      const AccessibleOutline::RowState rowState = outline_->OutlineRowState(*row);
      flags |= STATE_SYSTEM_SELECTABLE;
      if (rowState.selected) flags |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
      if (rowState.opens) flags |= rowState.open ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
      if (!rowState.inSight) flags |= STATE_SYSTEM_OFFSCREEN;
    }
    *state = IntVariant(flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return Nothing(text); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return Nothing(text); }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!outline_) return RPC_E_DISCONNECTED;
    if (GetFocus() != outline_->OutlineWindow()) return S_FALSE;
    const std::optional<size_t> selected = outline_->OutlineSelectedRow();
    *child = IntVariant(selected ? static_cast<long>(*selected) + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!outline_) return RPC_E_DISCONNECTED;
    const std::optional<size_t> selected = outline_->OutlineSelectedRow();
    if (!selected) return S_FALSE;
    *child = IntVariant(static_cast<long>(*selected) + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override { return Nothing(text); }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(outline_->OutlineWindow());
    if (row && (flags & SELFLAG_TAKESELECTION)) outline_->OutlineSelectRow(*row);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    RECT r{};
    if (row) {
      r = outline_->OutlineRowScreenRect(*row);
    } else {
      GetWindowRect(outline_->OutlineWindow(), &r);
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    VariantInit(end);
    std::optional<size_t> row;
    if (const HRESULT checked = Check(start, row); checked != S_OK) return checked;
    const size_t count = outline_->OutlineRowCount();
    std::optional<size_t> to;
    switch (direction) {
      case NAVDIR_FIRSTCHILD:
        if (!row && count > 0) to = 0;
        break;
      case NAVDIR_LASTCHILD:
        if (!row && count > 0) to = count - 1;
        break;
      case NAVDIR_NEXT:
      case NAVDIR_DOWN:
        if (row && *row + 1 < count) to = *row + 1;
        break;
      case NAVDIR_PREVIOUS:
      case NAVDIR_UP:
        if (row && *row > 0) to = *row - 1;
        break;
      default: break;
    }
    if (!to) return S_FALSE;
    *end = IntVariant(static_cast<long>(*to) + 1);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    if (!outline_) return RPC_E_DISCONNECTED;
    const POINT pt{x, y};
    RECT window{};
    GetWindowRect(outline_->OutlineWindow(), &window);
    if (!PtInRect(&window, pt)) return S_FALSE;
    const std::optional<size_t> row = outline_->OutlineRowAt(pt);
    *child = IntVariant(row ? static_cast<long>(*row) + 1 : CHILDID_SELF);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    if (!row || !outline_->OutlineRowState(*row).opens) return DISP_E_MEMBERNOTFOUND;
    outline_->OutlineToggleRow(*row);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~OutlineObject() = default;

  // The row a child id names (nothing for the outline itself); S_OK, or why not.
  HRESULT Check(const VARIANT& child, std::optional<size_t>& row) const {
    row.reset();
    if (!outline_) return RPC_E_DISCONNECTED;
    if (child.vt != VT_I4) return E_INVALIDARG;
    if (child.lVal == CHILDID_SELF) return S_OK;
    if (child.lVal < 0 || static_cast<size_t>(child.lVal) > outline_->OutlineRowCount()) return E_INVALIDARG;
    row = static_cast<size_t>(child.lVal) - 1;
    return S_OK;
  }
  // A row's text, worked out by `text`; the outline itself has none.
  template <typename Text>
  HRESULT RowString(const VARIANT& child, BSTR* out, Text text) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::optional<size_t> row;
    if (const HRESULT checked = Check(child, row); checked != S_OK) return checked;
    if (!row) return S_FALSE;
    *out = SysAllocString(text(*row).c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT Nothing(BSTR* text) const {
    if (!text) return E_POINTER;
    *text = nullptr;
    return outline_ ? S_FALSE : RPC_E_DISCONNECTED;
  }

  AccessibleOutline* outline_;  // null once the tree is gone
  LONG references_ = 1;
};

OutlineAccessibility::~OutlineAccessibility() {
  if (!object_) return;
  object_->Disconnect();
  object_->Release();
}

std::optional<LRESULT> OutlineAccessibility::OnGetObject(WPARAM wp, LPARAM lp) {
  if (static_cast<long>(lp) != OBJID_CLIENT) return std::nullopt;
  if (!object_) object_ = new OutlineObject(outline_);
  return LresultFromObject(IID_IAccessible, wp, static_cast<IAccessible*>(object_));
}

void OutlineAccessibility::SelectionMoved(std::optional<size_t> row, bool focused) {
  // A tool that listens asks for the object when it hears of the change.
  const HWND window = outline_.OutlineWindow();
  if (!row || !window) return;
  const LONG child = static_cast<LONG>(*row) + 1;
  NotifyWinEvent(EVENT_OBJECT_SELECTION, window, OBJID_CLIENT, child);
  if (focused) NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, child);
}

}  // namespace kovan::ui
