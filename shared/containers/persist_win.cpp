// The calls the library's containers make on a bag that saves or restores them.
#include "shared/containers/persist_win.h"

#include "common/win/text_win.h"

namespace tk {

void CallNested(const std::function<HRESULT()>& call) {
  ::SetErrorInfo(0, nullptr);
  const HRESULT hr = call();
  if (SUCCEEDED(hr)) return;
  std::string description;
  hg::win::com_ptr<IErrorInfo> info;
  if (::GetErrorInfo(0, info.put()) == S_OK) {
    hg::win::unique_bstr text;
    if (SUCCEEDED(info->GetDescription(text.put()))) description = hg::win::FromBstr(text.get());
  }
  hg::win::ThrowHResult(hr, std::move(description));
}

void WriteToBag(IPropertyBag* bag, const std::wstring& name, const VARIANT& value) {
  CallNested([&] { return bag->Write(name.c_str(), const_cast<VARIANT*>(&value)); });
}

std::optional<hg::win::Variant> ReadFromBag(IPropertyBag* bag, const std::wstring& name) {
  hg::win::Variant value;
  HRESULT hr = S_OK;
  // E_INVALIDARG is how a property bag says it does not hold the name.
  CallNested([&] {
    hr = bag->Read(name.c_str(), value.put(), nullptr);
    return hr == E_INVALIDARG ? S_OK : hr;
  });
  if (hr == E_INVALIDARG) return std::nullopt;
  return value;
}

void WriteCount(IPropertyBag* bag, std::size_t count) {
  if (count == 0) return;
  VARIANT n;
  n.vt = VT_I4;
  n.lVal = static_cast<LONG>(count);
  WriteToBag(bag, L"n", n);
}

std::wstring EntryName(std::size_t number) { return L"i" + std::to_wstring(number); }

std::size_t ReadCount(IPropertyBag* bag) {
  const auto stored = ReadFromBag(bag, L"n");
  if (!stored) return 0;
  hg::win::Variant count;
  THROW_IF_FAILED(::VariantChangeType(count.put(), const_cast<VARIANT*>(&stored->get()), 0, VT_I4));
  if (count.get().lVal < 0) {
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_INVALID_DATA), "The stored count is negative.");
  }
  return static_cast<std::size_t>(count.get().lVal);
}

hg::win::Variant ReadEntry(IPropertyBag* bag, std::size_t number) {
  auto entry = ReadFromBag(bag, EntryName(number));
  if (!entry) {
    hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_INVALID_DATA),
                          "The stored collection lacks its entry " + std::to_string(number) + ".");
  }
  return std::move(*entry);
}

}  // namespace tk
