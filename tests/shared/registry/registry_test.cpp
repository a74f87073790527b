// The portable parts of the registry class: roots, their names, the texts of
// its failures, subkey paths and registry-file text.
#include <gtest/gtest.h>

#include <numeric>
#include <tuple>
#include <vector>

#include "shared/registry/registry_export.h"
#include "shared/registry/registry_keys.h"

namespace tk {
namespace {

TEST(RegistryKeys, NamesOfRootsPseudoRootsAndOtherValuesAlsoInTheFailureTexts) {
  // A root, its name, and its name in registry-file text.
  const std::tuple<std::uint32_t, const char*, std::optional<std::string>> cases[] = {
      {kDynData, "HKEY_DYN_DATA", "HKEY_DYN_DATA"},
      // The registry-file text drops the view.
      {kLocalMachine64, "HKEY_LOCAL_MACHINE_64BIT", "HKEY_LOCAL_MACHINE"},
      {kClassesRoot64, "HKEY_CLASSES_ROOT_64BIT", "HKEY_CLASSES_ROOT"},
      // Other values by their signed decimal.
      {7, "7", std::nullopt},
      {0x80000007, "-2147483641", std::nullopt},
  };
  for (const auto& [key, name, exported] : cases) {
    EXPECT_EQ(GetKeyName(key), name);
    EXPECT_EQ(ExportRootName(key), exported) << name;
  }
  EXPECT_EQ(Get64bitRootKey(kLocalMachine), 0u);
  // The failure texts keep placeholder text in a subkey.
  EXPECT_EQ(OpenKeyFailedText(kCurrentUser, "%1", true), "OpenKey failed('HKEY_CURRENT_USER\\%1', ReadOnly=True)");
  EXPECT_EQ(OpenKeyFailedText(kUsers, "a%2b%3", false), "OpenKey failed('HKEY_USERS\\a%2b%3', ReadOnly=False)");
  EXPECT_EQ(CreateKeyFailedText(kUsers, "A\\B"), "CreateKeyAnyOS failed('HKEY_USERS\\A\\B')");
  EXPECT_EQ(InvalidKeyText(kLocalMachine64), "Invalid key HKEY_LOCAL_MACHINE_64BIT on 32 bit Windows");
}

TEST(RegistryKeys, SubKeyPaths) {
  // Only one of two trailing backslashes goes.
  EXPECT_EQ(WithoutTrailingBackslash("A\\B\\\\"), "A\\B\\");
  for (const char* path : {"Software\\A\\B", "B"}) EXPECT_EQ(LastName(path), "B") << path;
  // Subkeys made of backslashes name the root.
  for (const char* root : {"", "\\", "\\\\"}) EXPECT_TRUE(NamesRoot(root)) << root;
  for (const char* other : {"A\\", "\\A"}) EXPECT_FALSE(NamesRoot(other)) << other;
  // Whole names compare, in any letter case.
  EXPECT_TRUE(IsSameOrBelow("Software\\A", "software\\a"));
  EXPECT_TRUE(IsSameOrBelow("Software\\A\\B", "Software\\A\\"));
  EXPECT_FALSE(IsSameOrBelow("Software\\AB", "Software\\A"));
  EXPECT_FALSE(IsSameOrBelow("Software", "Software\\A"));
  EXPECT_TRUE(IsSameOrBelow("Software", ""));
}

TEST(RegistryExport, KeySectionsAndValueLinesOfEveryType) {
  EXPECT_EQ(KeySection("HKEY_CURRENT_USER", "Software\\A"), "\r\n[HKEY_CURRENT_USER\\Software\\A]\r\n");
  // String data as the system stores it: UTF-16 units, low byte first, and a zero unit.
  const auto utf16 = [](std::u16string_view text) {
    std::vector<std::uint8_t> bytes;
    for (const char16_t unit : text) bytes.insert(bytes.end(), {std::uint8_t(unit & 0xFF), std::uint8_t(unit >> 8)});
    bytes.insert(bytes.end(), {0, 0});
    return bytes;
  };
  std::vector<std::uint8_t> counting(72);
  std::iota(counting.begin(), counting.end(), std::uint8_t{0xA0});
  // A value's name, type and data, and its line.
  const std::tuple<const char*, std::uint32_t, std::vector<std::uint8_t>, const char*> cases[] = {
      // Dwords: eight lower-case digits, most significant first.
      {"X", kTypeDword, {0xEF, 0xBE, 0xAD, 0xDE}, "\"X\"=dword:deadbeef\r\n"},
      // Strings: backslashes and quotes escaped, the last character kept
      // without a terminator, UTF-8 outside Latin; the default value as @.
      {"Path", kTypeString, utf16(u"C:\\a \"b\""), "\"Path\"=\"C:\\\\a \\\"b\\\"\"\r\n"},
      {"S", kTypeString, {'a', 0, 'b', 0, 'c', 0}, "\"S\"=\"abc\"\r\n"},
      {"S", kTypeString, {}, "\"S\"=\"\"\r\n"},
      {"S", kTypeString, utf16(u"\u00e9\u4e2d"), "\"S\"=\"\u00e9\u4e2d\"\r\n"},
      {"", kTypeString, utf16(u"x"), "@=\"x\"\r\n"},
      // Names escape backslashes and quotes as string data do.
      {"C:\\say \"hi\"", kTypeDword, {1, 0, 0, 0}, "\"C:\\\\say \\\"hi\\\"\"=dword:00000001\r\n"},
      // Other types name their type in hex; no bytes is the bare prefix.
      {"Q", 11, {1, 0, 0, 0, 0, 0, 0, 0xAB}, "\"Q\"=hex(b):01,00,00,00,00,00,00,ab\r\n"},
      {"B", kTypeBinary, {}, "\"B\"=hex:\r\n"},
      // A line breaks before byte 21 and before every 25th byte after it.
      {"B", kTypeBinary, {counting.begin(), counting.begin() + 21},
       "\"B\"=hex:a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,aa,ab,ac,ad,ae,af,b0,b1,b2,b3,b4\r\n"},
      {"B", kTypeBinary, counting,
       "\"B\"=hex:a0,a1,a2,a3,a4,a5,a6,a7,a8,a9,aa,ab,ac,ad,ae,af,b0,b1,b2,b3,\\\r\n"
       "  b4,b5,b6,b7,b8,b9,ba,bb,bc,bd,be,bf,c0,c1,c2,c3,c4,c5,c6,c7,c8,c9,ca,cb,cc,\\\r\n"
       "  cd,ce,cf,d0,d1,d2,d3,d4,d5,d6,d7,d8,d9,da,db,dc,dd,de,df,e0,e1,e2,e3,e4,e5,\\\r\n"
       "  e6,e7\r\n"},
  };
  for (const auto& [name, type, data, line] : cases) EXPECT_EQ(ValueLine(name, type, data), line) << line;
}

}  // namespace
}  // namespace tk
