// The settings store's place in the registry, read and written through the
// library's CRegistry.
#pragma once

#include <windows.h>

#include <string>

#include "app/protection/settings_store.h"
#include "common/win/com_win.h"
#include "tkShared.h"

namespace app::protection {

// The program's key and the value that holds the whole store. The root's
// name is the platform's macro here, so the number stands for it.
inline constexpr auto kCurrentUser = static_cast<enRegistryKey>(0x80000001);
inline constexpr char kProgramKey[] = "Software\\Tarnwick Software\\Hedgerow";
inline constexpr char kStoreValueName[] = "Registration";

// One registry string value.
class RegistrySettingsText final : public SettingsText {
 public:
  // Creates the accessor; touches nothing in the registry.
  RegistrySettingsText(enRegistryKey key, std::string subKey, std::string valueName);
  std::string Read() override;
  void Write(const std::string& text) override;

 private:
  enRegistryKey key_;
  std::string subKey_;
  std::string valueName_;
  hg::win::com_ptr<_CRegistry> registry_;
};

// The program's one store: HKEY_CURRENT_USER, the program's key, "Registration".
class ProgramSettings {
 public:
  ProgramSettings() : text_(kCurrentUser, kProgramKey, kStoreValueName) {}
  ProgramSettings(const ProgramSettings&) = delete;
  ProgramSettings& operator=(const ProgramSettings&) = delete;
  CRData& store() noexcept { return store_; }

 private:
  RegistrySettingsText text_;
  CRData store_{text_};
};

}  // namespace app::protection
