// FAbout's content.
#include "app/shell/about.h"

#include "app/shell/version.h"

namespace app::shell {

std::string AboutNameText() {
  const std::string version =
      std::to_string(HG_VERSION_MAJOR) + "." + std::to_string(HG_VERSION_MINOR);
  return "Hedgerow Version " + version + "\r\n\r\nCopyright \u00a9 2026 Tarnwick Software\r\n\r\n\r\n\r\n\r\n";
}

}  // namespace app::shell
