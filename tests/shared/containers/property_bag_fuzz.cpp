// libFuzzer target for the property bag reader: any input either parses or
// fails with BagFormatError, and what parses writes back byte for byte.
#include <algorithm>
#include <cstdlib>

#include "shared/containers/property_bag.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  tk::PropertyList parsed;
  try {
    parsed = tk::Parse({data, size});
  } catch (const tk::BagFormatError&) {
    return 0;
  }
  const std::vector<std::uint8_t> written = tk::Serialize(parsed);
  if (written.size() != size || !std::equal(written.begin(), written.end(), data)) std::abort();
  return 0;
}
