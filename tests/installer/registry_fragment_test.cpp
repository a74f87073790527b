#include "installer/registry_fragment.h"

#include <gtest/gtest.h>

namespace hg::installer {
namespace {

size_t Count(const std::string& text, std::string_view part) {
  size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

TEST(RegistryFragment, EveryPlannedValueBecomesAMachineWideEntry) {
  tk::ServerRegistration server{"{11111111-0000-0000-0000-000000000001}", "1.0", "tkShared Library",
                                "win64", "C:\\Program Files\\Hedgerow\\tkShared.dll",
                                {{"{11111111-0000-0000-0000-000000000002}", "tkShared.CCollection"}},
                                {{"{11111111-0000-0000-0000-000000000003}", "_CCollection"}}};
  const auto values = tk::RegistrationValues(server);
  const std::string wxs = ServerFragment(values, server.serverPath);

  EXPECT_EQ(Count(wxs, "<RegistryValue Root=\"HKCR\""), values.size());
  EXPECT_NE(wxs.find("Key=\"TypeLib\\{11111111-0000-0000-0000-000000000001}\\1.0\\HELPDIR\" Value=\"[INSTALLDIR]\""),
            std::string::npos)
      << wxs;
  EXPECT_EQ(Count(wxs, "C:\\Program Files"), 0u);
}

TEST(RegistryFragment, LiteralTextIsNeitherExpandedNorANumber) {
  const std::string wxs = ServerFragment(
      {{"Interface\\{1}", "", "#1 [x] <&\"y\">"}}, "C:\\Hedgerow\\tkShared.dll");
  EXPECT_NE(wxs.find("Value=\"##1 [\\[]x[\\]] &lt;&amp;&quot;y&quot;&gt;\""), std::string::npos)
      << wxs;
}

}  // namespace
}  // namespace hg::installer
