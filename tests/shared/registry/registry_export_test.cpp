#include "shared/registry/registry_export.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace tk {
namespace {

std::vector<std::uint8_t> Utf16Bytes(std::u16string_view text, bool terminated = true) {
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

const std::vector<std::uint8_t> kOne = {1, 0, 0, 0};

TEST(RegistryExport, KeySectionsHexBytesAndValueLinesOfEveryType) {
  EXPECT_EQ(ByteToHex(0x0A) + ByteToHex(0xFF) + ByteToHex(0), "0AFF00");
  EXPECT_EQ(KeySection("HKEY_CURRENT_USER", "Software\\A"), "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n");
  const struct {
    const char* name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
    const char* line;
  } cases[] = {
      // Dwords: eight lower-case digits, most significant first.
      {"Enabled", kTypeDword, kOne, "\"Enabled\"=dword:00000001\r\n"},
      {"X", kTypeDword, {0xEF, 0xBE, 0xAD, 0xDE}, "\"X\"=dword:deadbeef\r\n"},
      // Strings: backslashes and quotes escaped, the last character kept
      // without a terminator, UTF-8 outside Latin; the default value as @.
      {"Path", kTypeString, Utf16Bytes(u"C:\\a \"b\""), "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"},
      {"S", kTypeString, Utf16Bytes(u"abc", false), "\"S\"=\"abc\"\r\n"},
      {"S", kTypeString, Utf16Bytes(u"abc"), "\"S\"=\"abc\"\r\n"},
      {"S", kTypeString, {}, "\"S\"=\"\"\r\n"},
      {"S", kTypeString, Utf16Bytes(u"\u00e9\u4e2d"), "\"S\"=\"\u00e9\u4e2d\"\r\n"},
      {"", kTypeString, Utf16Bytes(u"x"), "@=\"x\"\r\n"},
      // Other types name their type in hex; no bytes is the bare prefix.
      {"E", 2, Utf16Bytes(u"%A%"), "\"E\"=hex(2):25,00,41,00,25,00,00,00\r\n"},
      {"Q", 11, {1, 0, 0, 0, 0, 0, 0, 0xAB}, "\"Q\"=hex(b):01,00,00,00,00,00,00,ab\r\n"},
      {"B", kTypeBinary, {}, "\"B\"=hex:\r\n"},
      {"N", 0, {}, "\"N\"=hex(0):\r\n"},
      // Thirty bytes break before byte 21.
      {"B", kTypeBinary, Counting(30),
       "\"B\"=hex:a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,aa,ab,ac,ad,ae,af,b0,b1,b2,b3,\\\r\n"
       "  b4,b5,b6,b7,b8,b9,ba,bb,bc,bd\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(ValueLine(c.name, c.type, c.data), c.line) << c.line;
}

TEST(RegistryExport, NameEscapesBackslashesAndQuotesAsStringDataDo) {
  EXPECT_EQ(ValueLine("C:\\dir\\file.dll", kTypeString, Utf16Bytes(u"v")), "\"C:\\\\dir\\\\file.dll\"=\"v\"\r\n");
  EXPECT_EQ(ValueLine("say \"hi\"", kTypeDword, kOne), "\"say \\\"hi\\\"\"=dword:00000001\r\n");
}

TEST(RegistryExport, LongBinaryBreaksBeforeByteTwentyOneAndEveryTwentyFifthAfter) {
  const std::string one = ValueLine("B", kTypeBinary, Counting(21));
  EXPECT_EQ(one.find('\\'), std::string::npos) << one;
  EXPECT_EQ(one.size(), std::string("\"B\"=hex:").size() + 21 * 3 - 1 + 2);
  EXPECT_TRUE(one.ends_with(",b4\r\n")) << one;
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

}  // namespace
}  // namespace tk
