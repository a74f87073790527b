#include "app/ui/twips.h"

#include <gtest/gtest.h>

namespace app::ui {
namespace {

TEST(Twips, ConvertAtTheGivenDpiRoundingToTheNearestPixel) {
  const struct {
    int twips, dpi, pixels;
  } cases[] = {
      {7, 96, 0}, {8, 96, 1}, {-30, 96, -2}, {5955, 144, 596}, {1335, 120, 111},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
  }
  EXPECT_EQ(PixelsToTwips(397, 96), 5955);
  EXPECT_EQ(PixelsToTwips(-2, 96), -30);
}

}  // namespace
}  // namespace app::ui
