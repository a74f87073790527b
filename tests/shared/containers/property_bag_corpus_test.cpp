// Replays the fuzzer's corpus through the reader under the sanitizers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "shared/containers/property_bag.h"

namespace tk {
namespace {

TEST(PropertyBagCorpus, EveryInputParsesAndWritesBackOrFailsCleanly) {
  std::size_t inputs = 0, parsed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(HG_PROPERTY_BAG_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    ++inputs;
    try {
      EXPECT_EQ(Serialize(Parse(bytes)), bytes) << entry.path();
      ++parsed;
    } catch (const BagFormatError&) {
    }
  }
  EXPECT_GT(inputs, 10u);
  EXPECT_GT(parsed, 0u);
}

}  // namespace
}  // namespace tk
