#include "shared/registration.h"

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

TEST(Registration, ClassIsAnApartmentInprocServerReachableByProgId) {
  const auto values = RegistrationValues(Sample());
  EXPECT_TRUE(Has(values, "CLSID\\{C1}\\InprocServer32", "", "C:\\bin\\tkShared.dll"));
  EXPECT_TRUE(Has(values, "CLSID\\{C1}\\InprocServer32", "ThreadingModel", "Apartment"));
  EXPECT_TRUE(Has(values, "CLSID\\{C1}\\ProgID", "", "tkShared.CCollection"));
  EXPECT_TRUE(Has(values, "tkShared.CCollection\\CLSID", "", "{C1}"));
  EXPECT_TRUE(Has(values, "CLSID\\{C1}\\TypeLib", "", "{LIB}"));
}

TEST(Registration, TypeLibraryAndInterfacesUseTheAutomationMarshaller) {
  const auto values = RegistrationValues(Sample());
  EXPECT_TRUE(Has(values, "TypeLib\\{LIB}\\1.0\\0\\win64", "", "C:\\bin\\tkShared.dll"));
  EXPECT_TRUE(Has(values, "TypeLib\\{LIB}\\1.0\\HELPDIR", "", "C:\\bin"));
  EXPECT_TRUE(Has(values, "Interface\\{I1}\\ProxyStubClsid32", "",
                  "{00020424-0000-0000-C000-000000000046}"));
  EXPECT_TRUE(Has(values, "Interface\\{I1}\\TypeLib", "Version", "1.0"));
}

TEST(Registration, EveryWrittenKeyLiesBelowAnOwnedKeyWithItsProof) {
  const auto server = Sample();
  const auto values = RegistrationValues(server);
  const auto owned = OwnedKeys(server);
  for (const auto& v : values) {
    EXPECT_TRUE(std::any_of(owned.begin(), owned.end(), [&](const OwnedKey& o) {
      return v.key == o.key || v.key.rfind(o.key + "\\", 0) == 0;
    })) << v.key;
  }
  for (const auto& o : owned) {
    EXPECT_TRUE(Has(values, o.proof.key, o.proof.name, o.proof.data)) << o.key;
  }
}

}  // namespace
}  // namespace tk
