#include "shared/global/system_info.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

TEST(SystemInfoTexts, NameTheProcessorTheVersionsAndTheTranslation) {
  EXPECT_EQ(CpuTypeText(586, 6, 0x0F0B), "Intel Pentium Family 6 Model 15 Stepping 11");
  EXPECT_EQ(CpuTypeText(386, 3, 0), "Intel 386");
  EXPECT_EQ(CpuTypeText(486, 4, 0), "Intel 486");
  EXPECT_EQ(CpuTypeText(4000, 0, 0), "MIPS R4000");
  EXPECT_EQ(CpuTypeText(21064, 0, 0), "DEC Alpha 21064");
  EXPECT_EQ(CpuTypeText(8664, 6, 0x0F0B), "(unknown)");
  EXPECT_EQ(WindowsVersionText(2, 6, 2, 9200, ""), "Platform: Windows NT. Version: 6.2.9200. ");
  EXPECT_EQ(WindowsVersionText(1, 4, 10, 2222, "A"), "Platform: Windows 95. Version: 4.10.2222. A");
  EXPECT_EQ(WindowsVersionText(0, 3, 1, 0, ""), "Platform: . Version: 3.1.0. ");
  // Four unsigned parts; the translation's language, then its code page.
  EXPECT_EQ(FileVersionText(0x00060001, 0x1DB1448E), "6.1.7601.17550");
  EXPECT_EQ(FileVersionText(0xFFFF0000, 0x0001FFFF), "65535.0.1.65535");
  EXPECT_EQ(TranslationText(0x0409, 0x04B0), "040904B0");
  EXPECT_EQ(TranslationText(0x0000, 0xFFFF), "0000FFFF");
}

}  // namespace
}  // namespace tk
