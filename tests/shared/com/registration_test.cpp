#include "shared/com/registration.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tk {
namespace {

ServerRegistration Sample() {
  return {"{LIB}", "1.0", "tkShared Library", "win64", "C:\\bin\\tkShared.dll",
          {{"{C1}", "tkShared.CCollection"}}, {{"{I1}", "_CCollection"}}};
}

bool Has(const std::vector<RegistryValue>& values, const std::string& key,
         const std::string& name, const std::string& data) {
  return std::any_of(values.begin(), values.end(), [&](const RegistryValue& v) {
    return v.key == key && v.name == name && v.data == data;
  });
}

// The class is an apartment in-process server reachable by its ProgID; the
// type library and the interfaces use the automation marshaller. (The server's
// and the type library's paths and the ProgID's class are read back from the
// real registry by the module's Wine test.)
TEST(Registration, ValuesLieBelowKeysOwnedByThisServersPath) {
  const auto values = RegistrationValues(Sample());
  const struct {
    const char* key;
    const char* name;
    const char* data;
  } expected[] = {
      {"CLSID\\{C1}\\InprocServer32", "ThreadingModel", "Apartment"},
      {"CLSID\\{C1}\\ProgID", "", "tkShared.CCollection"},
      {"CLSID\\{C1}\\TypeLib", "", "{LIB}"},
      {"TypeLib\\{LIB}\\1.0\\HELPDIR", "", "C:\\bin"},
      {"Interface\\{I1}\\ProxyStubClsid32", "", "{00020424-0000-0000-C000-000000000046}"},
      {"Interface\\{I1}\\TypeLib", "Version", "1.0"},
  };
  for (const auto& [key, name, data] : expected) EXPECT_TRUE(Has(values, key, name, data)) << key << " " << name;

  // Every written key lies below an owned key, and every copy of the DLL
  // writes the same CLSID under a ProgID and the same library id under an
  // interface: only the server's own path, the proof of ownership, tells
  // copies apart.
  auto owned = ClassKeys(Sample());
  owned.push_back(TypeLibraryKeys(Sample()).owned);
  ASSERT_EQ(owned.size(), 2u);
  EXPECT_EQ(owned[0].keys, (std::vector<std::string>{"CLSID\\{C1}", "tkShared.CCollection"}));
  EXPECT_EQ(owned[1].keys, (std::vector<std::string>{"TypeLib\\{LIB}", "Interface\\{I1}"}));
  for (const auto& o : owned) {
    EXPECT_EQ(o.proof.data, "C:\\bin\\tkShared.dll") << o.proof.key;
    EXPECT_TRUE(Has(values, o.proof.key, o.proof.name, o.proof.data)) << o.proof.key;
  }
  for (const auto& v : values) {
    EXPECT_TRUE(std::any_of(owned.begin(), owned.end(), [&](const OwnedKeys& o) {
      return std::any_of(o.keys.begin(), o.keys.end(), [&](const std::string& key) {
        return v.key == key || v.key.rfind(key + "\\", 0) == 0;
      });
    })) << v.key;
  }
}

}  // namespace
}  // namespace tk
