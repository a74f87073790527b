#include "app/protection/password.h"

#include <gtest/gtest.h>

#include <string>

namespace app::protection {
namespace {

bool IsFiller(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

TEST(Password, StoredFormIsTheTrimmedTextReversedWithVaryingFillersAndTheMaskOneStarEach) {
  const std::string stored = EncodePassword(" ab ");
  ASSERT_EQ(stored.size(), 4u);
  EXPECT_EQ(stored[0], 'b');
  EXPECT_EQ(stored[2], 'a');
  EXPECT_TRUE(IsFiller(stored[1]) && IsFiller(stored[3])) << stored;
  EXPECT_EQ(DecodePassword(stored), "ab");
  // What earlier versions stored decodes as before.
  EXPECT_EQ(DecodePassword(" b3aF "), "ab");
  // The fillers vary between encodings.
  const std::string password(40, 'k');
  const std::string first = EncodePassword(password);
  for (std::size_t i = 1; i < first.size(); i += 2) EXPECT_TRUE(IsFiller(first[i]));
  EXPECT_NE(first, EncodePassword(password));
  EXPECT_EQ(MaskedText(" p\xC3\xA4\xF0\x9D\x84\x9E "), "*****");
  EXPECT_EQ(MaskedText(""), "");
}

TEST(Password, RoundTripsWhateverTheLengthAndCharacters) {
  const std::string thousands(10000, 'x');
  for (const std::string& password :
       {std::string(), std::string("p"), std::string("Exactly16CharsXY"),
        std::string("seventeen chars!!"), std::string("Pässwörd Ωμέγα 𝄞 密码"), thousands}) {
    EXPECT_EQ(DecodePassword(EncodePassword(password)), password) << password.substr(0, 20);
  }
}

}  // namespace
}  // namespace app::protection
