// The texts the global class makes of system facts.
#include "shared/global/system_info.h"

#include <cstdio>

namespace tk {

std::string CpuTypeText(std::uint32_t processorType, std::uint16_t level, std::uint16_t revision) {
  switch (processorType) {
    case 386:
      return "Intel 386";
    case 486:
      return "Intel 486";
    case 586:
      return "Intel Pentium Family " + std::to_string(level) + " Model " +
             std::to_string(revision >> 8) + " Stepping " + std::to_string(revision & 0xFF);
    case 4000:
      return "MIPS R4000";
    case 21064:
      return "DEC Alpha 21064";
    default:
      return "(unknown)";
  }
}

std::string WindowsVersionText(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                               std::uint32_t build, std::string_view servicePack) {
  const char* platform = platformId == 1 ? "Windows 95" : platformId == 2 ? "Windows NT" : "";
  return "Platform: " + std::string(platform) + ". Version: " + std::to_string(major) + "." +
         std::to_string(minor) + "." + std::to_string(build) + ". " + std::string(servicePack);
}

std::string FileVersionText(std::uint32_t versionMs, std::uint32_t versionLs) {
  return std::to_string(versionMs >> 16) + "." + std::to_string(versionMs & 0xFFFF) + "." +
         std::to_string(versionLs >> 16) + "." + std::to_string(versionLs & 0xFFFF);
}

std::string TranslationText(std::uint16_t language, std::uint16_t codePage) {
  char text[9];
  std::snprintf(text, sizeof(text), "%04X%04X", static_cast<unsigned>(language),
                static_cast<unsigned>(codePage));
  return text;
}

}  // namespace tk
