#include "export/excel_automation.win32.hpp"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "base/com.win32.hpp"
#include "base/errors.win32.hpp"
#include "base/text.hpp"
#include "export/xlsx_workbook.hpp"

namespace kovan {

namespace {

// An owned VARIANT.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  // The object inside, with its own reference; null when it holds none.
  IDispatch* Dispatch() {
    if (v_.vt != VT_DISPATCH || !v_.pdispVal) return nullptr;
    v_.pdispVal->AddRef();
    return v_.pdispVal;
  }

 private:
  VARIANT v_;
};

// An owned IDispatch.
class Object {
 public:
  Object() = default;
  explicit Object(IDispatch* p) : p_(p) {}
  ~Object() {
    if (p_) p_->Release();
  }
  Object(Object&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  Object& operator=(Object&& other) noexcept {
    std::swap(p_, other.p_);
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  IDispatch* get() const { return p_; }
  IDispatch** put() { return &p_; }

  // Calls a member by name; arguments in their natural order.
  HRESULT Invoke(const wchar_t* name, WORD kind, std::vector<VARIANT> args, VARIANT* result) const {
    DISPID id = 0;
    auto* wide = const_cast<LPOLESTR>(name);
    HRESULT hr = p_->GetIDsOfNames(IID_NULL, &wide, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::reverse(args.begin(), args.end());  // IDispatch takes them last first
    DISPPARAMS params{args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &named;
      params.cNamedArgs = 1;
    }
    return p_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
  }
  Object Get(const wchar_t* name, std::vector<VARIANT> args = {}) const {
    Variant result;
    ThrowIfFailed(Invoke(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, std::move(args), result.get()), "Excel");
    IDispatch* object = result.Dispatch();
    if (!object) ThrowIfFailed(E_NOINTERFACE, "Excel");
    return Object(object);
  }

 private:
  IDispatch* p_ = nullptr;
};

// A BSTR argument; the caller frees it with VariantClear.
VARIANT TextArg(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  const std::wstring wide = ToWide(text);
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return v;
}

// Rows x 5 texts, carriage returns taken out.
SAFEARRAY* TableArray(const ExportTable& table) {
  const size_t rows = table.rows.size() + 1;
  SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(rows), 0}, {static_cast<ULONG>(kExportColumns), 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_VARIANT, 2, bounds);
  if (!array) ThrowIfFailed(E_OUTOFMEMORY, "SafeArrayCreate");
  for (size_t r = 0; r < rows; ++r) {
    const ExportRow& row = r == 0 ? table.header : table.rows[r - 1];
    for (size_t c = 0; c < kExportColumns; ++c) {
      std::string cell = row[c];
      std::erase(cell, '\r');
      VARIANT v = TextArg(cell);
      LONG index[2] = {static_cast<LONG>(r), static_cast<LONG>(c)};
      const HRESULT hr = SafeArrayPutElement(array, index, &v);
      VariantClear(&v);
      if (FAILED(hr)) {
        SafeArrayDestroy(array);
        ThrowIfFailed(hr, "SafeArrayPutElement");
      }
    }
  }
  return array;
}

class BusyCursor {
 public:
  BusyCursor() : old_(SetCursor(LoadCursorW(nullptr, IDC_WAIT))) {}
  ~BusyCursor() { SetCursor(old_); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  HCURSOR old_;
};

}  // namespace

bool WriteWorkbookThroughExcel(const ExportTable& table, const std::string& path) {
  const BusyCursor busy;
  CLSID clsid{};
  if (FAILED(CLSIDFromProgID(L"excel.application", &clsid))) return false;
  Object excel;
  bool startedHere = false;
  IUnknown* running = nullptr;
  if (SUCCEEDED(GetActiveObject(clsid, nullptr, &running)) && running) {
    running->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(excel.put()));
    running->Release();
  }
  if (!excel.get()) {
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(excel.put())))) {
      return false;
    }
    startedHere = true;
  }
  struct QuitAtEnd {
    const Object& app;
    bool quit;
    ~QuitAtEnd() {
      if (quit) app.Invoke(L"Quit", DISPATCH_METHOD, {}, nullptr);
    }
  } quitAtEnd{excel, startedHere};

  const Object books = excel.Get(L"WorkBooks");
  Object book;
  {
    Variant result;
    ThrowIfFailed(books.Invoke(L"Add", DISPATCH_METHOD, {}, result.get()), "Excel");
    IDispatch* added = result.Dispatch();
    if (!added) ThrowIfFailed(E_NOINTERFACE, "Excel");
    book = Object(added);
  }
  const Object sheet = book.Get(L"Sheets", {IntVariant(1)});
  VARIANT address = TextArg("A1:E" + std::to_string(table.rows.size() + 1));
  Object range;
  try {
    range = sheet.Get(L"Range", {address});
  } catch (...) {
    VariantClear(&address);
    throw;
  }
  VariantClear(&address);
  VARIANT values;
  VariantInit(&values);
  values.vt = VT_ARRAY | VT_VARIANT;
  values.parray = TableArray(table);
  const HRESULT put = range.Invoke(L"Value", DISPATCH_PROPERTYPUT, {values}, nullptr);
  VariantClear(&values);
  ThrowIfFailed(put, "Excel");
  VARIANT name = TextArg(path);
  book.Invoke(L"SaveAs", DISPATCH_METHOD, {name}, nullptr);  // a failed save is the user's to see in Excel
  VariantClear(&name);
  return true;
}

void ExportWorkbook(const ExportTable& table, const std::string& path) {
  if (WriteWorkbookThroughExcel(table, path)) return;
  WriteWorkbook(table, path);
}

}  // namespace kovan
