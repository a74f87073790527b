#include "shared/registry/registry_export.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tk {
namespace {

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool terminated) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  if (terminated) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

std::vector<std::uint8_t> Counting(std::size_t count) {
  std::vector<std::uint8_t> bytes(count);
  std::iota(bytes.begin(), bytes.end(), std::uint8_t{0xA0});
  return bytes;
}

TEST(RegistryExport, ByteToHexGivesTwoUpperCaseDigits) {
  EXPECT_EQ(ByteToHex(0x0A), "0A");
  EXPECT_EQ(ByteToHex(0xFF), "FF");
  EXPECT_EQ(ByteToHex(0), "00");
}

TEST(RegistryExport, KeySectionIsAnEmptyLineAndTheKeyLine) {
  EXPECT_EQ(KeySection("HKEY_CURRENT_USER", "Software\\A"), "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n");
}

TEST(RegistryExport, DwordIsEightLowerCaseDigitsMostSignificantFirst) {
  const std::uint8_t one[] = {1, 0, 0, 0};
  EXPECT_EQ(ValueLine("Enabled", kTypeDword, one), "\"Enabled\"=dword:00000001\r\n");
  const std::uint8_t mixed[] = {0xEF, 0xBE, 0xAD, 0xDE};
  EXPECT_EQ(ValueLine("X", kTypeDword, mixed), "\"X\"=dword:deadbeef\r\n");
}

TEST(RegistryExport, StringEscapesBackslashesAndQuotes) {
  EXPECT_EQ(ValueLine("Path", kTypeString, Utf16Bytes(u"C:\\a \"b\"", true)),
            "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n");
}

TEST(RegistryExport, NameEscapesBackslashesAndQuotesAsStringDataDo) {
  EXPECT_EQ(ValueLine("C:\\dir\\file.dll", kTypeString, Utf16Bytes(u"v", true)),
            "\"C:\\\\dir\\\\file.dll\"=\"v\"\r\n");
  const std::uint8_t one[] = {1, 0, 0, 0};
  EXPECT_EQ(ValueLine("say \"hi\"", kTypeDword, one), "\"say \\\"hi\\\"\"=dword:00000001\r\n");
}

TEST(RegistryExport, StringKeepsItsLastCharacterWhenStoredWithoutTerminator) {
  EXPECT_EQ(ValueLine("S", kTypeString, Utf16Bytes(u"abc", false)), "\"S\"=\"abc\"\r\n");
  EXPECT_EQ(ValueLine("S", kTypeString, Utf16Bytes(u"abc", true)), "\"S\"=\"abc\"\r\n");
  EXPECT_EQ(ValueLine("S", kTypeString, {}), "\"S\"=\"\"\r\n");
}

TEST(RegistryExport, StringOutsideLatinComesOutAsUtf8) {
  EXPECT_EQ(ValueLine("S", kTypeString, Utf16Bytes(u"\u00e9\u4e2d", true)),
            "\"S\"=\"\u00e9\u4e2d\"\r\n");
}

TEST(RegistryExport, DefaultValueIsWrittenAsAt) {
  EXPECT_EQ(ValueLine("", kTypeString, Utf16Bytes(u"x", true)), "@=\"x\"\r\n");
}

TEST(RegistryExport, BinaryOfThirtyBytesBreaksBeforeByteTwentyOne) {
  EXPECT_EQ(ValueLine("B", kTypeBinary, Counting(30)),
            "\"B\"=hex:a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,aa,ab,ac,ad,ae,af,b0,b1,b2,b3,\\\r\n"
            "  b4,b5,b6,b7,b8,b9,ba,bb,bc,bd\r\n");
}

TEST(RegistryExport, BinaryOfTwentyOneBytesStaysOnOneLine) {
  const std::string line = ValueLine("B", kTypeBinary, Counting(21));
  EXPECT_EQ(line.find('\\'), std::string::npos) << line;
  EXPECT_EQ(line.size(), std::string("\"B\"=hex:").size() + 21 * 3 - 1 + 2);
  EXPECT_TRUE(line.ends_with(",b4\r\n")) << line;
}

TEST(RegistryExport, LongBinaryBreaksBeforeEveryTwentyFifthByteAfterTwentyOne) {
  const std::string line = ValueLine("B", kTypeBinary, Counting(72));
  // Breaks before bytes 21, 46 and 71: the first line has 20 bytes, the next two 25.
  const std::string brk = "\\\r\n  ";
  const std::size_t first = line.find(brk);
  const std::size_t second = line.find(brk, first + 1);
  const std::size_t third = line.find(brk, second + 1);
  ASSERT_NE(third, std::string::npos) << line;
  EXPECT_EQ(line.find(brk, third + 1), std::string::npos);
  EXPECT_EQ(first, std::string("\"B\"=hex:").size() + 20 * 3);
  EXPECT_EQ(second - first - brk.size(), 25u * 3);
  EXPECT_EQ(third - second - brk.size(), 25u * 3);
}

TEST(RegistryExport, OtherTypesNameTheirTypeInHex) {
  EXPECT_EQ(ValueLine("E", 2, Utf16Bytes(u"%A%", true)), "\"E\"=hex(2):25,00,41,00,25,00,00,00\r\n");
  const std::uint8_t qword[] = {1, 0, 0, 0, 0, 0, 0, 0xAB};
  EXPECT_EQ(ValueLine("Q", 11, qword), "\"Q\"=hex(b):01,00,00,00,00,00,00,ab\r\n");
}

TEST(RegistryExport, EmptyByteListIsTheBarePrefix) {
  EXPECT_EQ(ValueLine("B", kTypeBinary, {}), "\"B\"=hex:\r\n");
  EXPECT_EQ(ValueLine("N", 0, {}), "\"N\"=hex(0):\r\n");
}

}  // namespace
}  // namespace tk
