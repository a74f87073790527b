#include "app/ui/twips.h"

#include <gtest/gtest.h>

namespace app::ui {
namespace {

TEST(Twips, ConvertAtTheGivenDpiRoundingToTheNearestPixel) {
  const struct {
    int twips, dpi, pixels;
  } cases[] = {
      {15, 96, 1},     {5955, 96, 397},  {5955, 144, 596}, {1335, 120, 111},
      {-30, 96, -2},   {7, 96, 0},       {8, 96, 1},       {1440, 288, 288},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
  }
  EXPECT_EQ(PixelsToTwips(397, 96), 5955);
  EXPECT_EQ(PixelsToTwips(596, 144), 5960);
  EXPECT_EQ(PixelsToTwips(-2, 96), -30);
}

}  // namespace
}  // namespace app::ui
