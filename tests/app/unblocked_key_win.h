// The unblocked list's registry key, read and written without the code under
// test, for the tests of the page, the backup and the program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/lists/site_stores_win.h"
#include "common/win/text_win.h"
#include "tests/support/registry_probe.h"

namespace app::test {

inline std::wstring UnblockedKey() { return hg::win::Widen(lists::kUnblockedKey); }

// The key's value names in registry order; "<no key>" when it is missing.
inline std::vector<std::string> UnblockedNames() {
  return hg::test::ValueNames(HKEY_CURRENT_USER, UnblockedKey())
      .value_or(std::vector<std::string>{"<no key>"});
}

// Replaces the key by one holding `names`; no names (or "<no key>"), no key.
inline void SetUnblockedNames(const std::vector<std::string>& names) {
  const bool none = names == std::vector<std::string>{"<no key>"};
  hg::test::SetValueNames(HKEY_CURRENT_USER, UnblockedKey(), none ? std::vector<std::string>{} : names);
}

}  // namespace app::test
