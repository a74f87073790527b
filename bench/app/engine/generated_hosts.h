// Generated hosts files for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace hg::bench {

// Half foreign lines, half entries; every tenth entry repeats an earlier site
// in capitals.
inline std::string GenerateHosts(std::size_t lines) {
  std::string content;
  content.reserve(lines * 32);
  for (std::size_t i = 0; i < lines; ++i) {
    if (i % 2 == 0) {
      content += (i % 8 == 0) ? "# comment line " : "10.0.0.1   intranet-";
      content += std::to_string(i);
    } else if (i % 20 == 19) {
      content += "127.0.0.1 SITE-" + std::to_string(i / 2) + ".EXAMPLE";
    } else {
      content += "127.0.0.1       site-" + std::to_string(i) + ".example";
    }
    content += "\r\n";
  }
  return content;
}

}  // namespace hg::bench
