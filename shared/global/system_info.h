// The texts the global class makes of system facts: processor, Windows
// version, file version and version-resource translation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tk {

// "Intel 386", "Intel Pentium Family 6 Model 15 Stepping 11", ... or "(unknown)".
std::string CpuTypeText(std::uint32_t processorType, std::uint16_t level, std::uint16_t revision);

// "Platform: Windows NT. Version: 6.2.9200. " followed by the service pack.
std::string WindowsVersionText(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                               std::uint32_t build, std::string_view servicePack);

// The four 16-bit parts of a fixed file version, most significant first: "6.1.7601.17514".
std::string FileVersionText(std::uint32_t versionMs, std::uint32_t versionLs);

// The "\StringFileInfo\" block name of a translation: language then code page,
// 8 upper-case hex digits ("040904B0").
std::string TranslationText(std::uint16_t language, std::uint16_t codePage);

}  // namespace tk
