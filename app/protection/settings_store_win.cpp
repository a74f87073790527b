// The settings store's place in the registry.
#include "app/protection/settings_store_win.h"

#include "app/engine/library_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"

namespace app::protection {

using hg::win::MakeBstr;

RegistrySettingsText::RegistrySettingsText(enRegistryKey key, std::string subKey,
                                           std::string valueName)
    : key_(key), subKey_(std::move(subKey)), valueName_(std::move(valueName)) {
  THROW_IF_FAILED(::CoCreateInstance(CLSID_CRegistry, nullptr, CLSCTX_INPROC_SERVER, IID__CRegistry,
                                     registry_.put_void()));
}

std::string RegistrySettingsText::Read() {
  hg::win::Variant value;
  VARIANT_BOOL found = VARIANT_FALSE;
  engine::Check(registry_->QuerySTRING(key_, MakeBstr(subKey_).get(), MakeBstr(valueName_).get(),
                                        value.put(), &found));
  if (value.type() != VT_BSTR) return {};
  return hg::win::FromBstr(value.get().bstrVal);
}

void RegistrySettingsText::Write(const std::string& text) {
  VARIANT_BOOL written = VARIANT_FALSE;
  engine::Check(registry_->SetSTRING(key_, MakeBstr(subKey_).get(), MakeBstr(valueName_).get(),
                                      MakeBstr(text).get(), &written));
  if (!written) {
    throw Failure(static_cast<std::int32_t>(E_FAIL),
                  "The registry value \"" + valueName_ + "\" could not be written.");
  }
}

}  // namespace app::protection
