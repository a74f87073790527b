// CGumArray: the library's two-dimensional table as a COM class.
#include "shared/containers/gum_array_win.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/containers/gum_array.h"
#include "tkShared.h"

namespace tk {

using hg::win::Variant;

namespace {

// The base of component-defined error numbers; a row too long for the table
// carries it with no description of its own.
constexpr HRESULT kTooManyValues = static_cast<HRESULT>(0x80040000);
// The numbers script writers know from the language runtime's own arrays.
constexpr HRESULT kSubscriptOutOfRange = static_cast<HRESULT>(0x800A0009);  // 9
constexpr HRESULT kTypeMismatch = static_cast<HRESULT>(0x800A000D);         // 13

template <typename F>
decltype(auto) WithTableErrors(F&& body) {
  try {
    return body();
  } catch (const TableError& error) {
    switch (error.fault()) {
      case TableFault::TooManyValues:
        hg::win::ThrowHResult(kTooManyValues);
      case TableFault::OutOfRange:
        hg::win::ThrowHResult(kSubscriptOutOfRange, error.what());
      case TableFault::Uncomparable:
        break;
    }
    hg::win::ThrowHResult(kTypeMismatch, error.what());
  }
}

CellKey KeyOf(const Variant& cell) {
  const VARIANT& v = cell.get();
  switch (v.vt) {
    case VT_EMPTY: return CellKey::Empty();
    case VT_NULL: return CellKey::Null();
    case VT_I1: return CellKey::Number(std::int64_t{v.cVal});
    case VT_UI1: return CellKey::Number(std::int64_t{v.bVal});
    case VT_I2: return CellKey::Number(std::int64_t{v.iVal});
    case VT_UI2: return CellKey::Number(std::int64_t{v.uiVal});
    case VT_I4: return CellKey::Number(std::int64_t{v.lVal});
    case VT_UI4: return CellKey::Number(std::int64_t{v.ulVal});
    case VT_INT: return CellKey::Number(std::int64_t{v.intVal});
    case VT_UINT: return CellKey::Number(std::int64_t{v.uintVal});
    case VT_I8: return CellKey::Number(std::int64_t{v.llVal});
    case VT_UI8:
      if (v.ullVal <= static_cast<ULONGLONG>(std::numeric_limits<std::int64_t>::max())) {
        return CellKey::Number(static_cast<std::int64_t>(v.ullVal));
      }
      return CellKey::Number(static_cast<double>(v.ullVal));
    case VT_BOOL: return CellKey::Number(std::int64_t{v.boolVal});  // True is -1
    case VT_R4: return CellKey::Number(double{v.fltVal});
    case VT_R8: return CellKey::Number(v.dblVal);
    case VT_DATE: return CellKey::Number(v.date);
    case VT_CY: return CellKey::Number(static_cast<double>(v.cyVal.int64) / 10000.0);
    case VT_DECIMAL: {
      double value = 0;
      THROW_IF_FAILED(::VarR8FromDec(const_cast<DECIMAL*>(&v.decVal), &value));
      return CellKey::Number(value);
    }
    case VT_BSTR: return CellKey::Text(hg::win::FromBstr(v.bstrVal));
    default: return CellKey::Uncomparable();
  }
}

std::string TextOf(const Variant& cell) {
  const VARIANT& v = cell.get();
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) return {};
  return hg::win::TextOf(v, VARIANT_ALPHABOOL);
}

// Copies of the elements of a one-dimensional array of variants, from its
// lower bound up; a missing array has none.
std::vector<Variant> ValuesOf(SAFEARRAY* array) {
  if (array && (::SafeArrayGetDim(array) != 1 || hg::win::ElementTypeOf(array) != VT_VARIANT)) {
    hg::win::ThrowHResult(E_INVALIDARG, "A row is a one-dimensional array of variants.");
  }
  return hg::win::VariantsOf(array);
}

class GumArray final : public DispatchObject<GumArray, _CGumArray> {
 public:
  static constexpr wchar_t kClassName[] = L"CGumArray";

  STDMETHODIMP Sort(LONG column, VARIANT_BOOL smallestToLargest) override {
    return Trap([&] {
      WithTableErrors([&] { table_.Sort(column, hg::win::IsTrue(smallestToLargest), KeyOf); });
    });
  }

  STDMETHODIMP Init(LONG columnsCount) override {
    return Trap([&] { WithTableErrors([&] { table_.Init(columnsCount); }); });
  }

  STDMETHODIMP get_RowsCount(LONG* count) override {
    return Trap([&] { *Checked(count) = table_.RowsCount(); });
  }

  STDMETHODIMP get_ColumnsCount(LONG* count) override {
    return Trap([&] { *Checked(count) = table_.ColumnsCount(); });
  }

  STDMETHODIMP get_Item(LONG row, LONG column, VARIANT* item) override {
    return Trap([&] {
      Checked(item);
      const Variant* cell = WithTableErrors([&] { return table_.Item(row, column); });
      Variant copy = cell ? Variant::CopyOf(cell->get()) : Variant();
      copy.Detach(item);
    });
  }

  STDMETHODIMP AddRow(SAFEARRAY** p) override {
    return Trap([&] { WithTableErrors([&] { table_.AddRow(ValuesOf(*Checked(p))); }); });
  }

  STDMETHODIMP Clear() override {
    return Trap([&] { table_.Clear(); });
  }

  STDMETHODIMP AsDisplayString(BSTR* text) override {
    return Trap([&] {
      Checked(text);
      const auto copy = [](const Variant& cell) { return Variant::CopyOf(cell.get()); };
      *text = hg::win::MakeBstr(table_.AsDisplayString(TextOf, copy)).release();
    });
  }

 private:
  Table<Variant> table_;
};

}  // namespace

HRESULT CreateGumArray(REFIID iid, void** object) noexcept {
  return CreateInstance<GumArray>(iid, object);
}

}  // namespace tk
