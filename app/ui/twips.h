// Lengths of the program's layouts: twips (1/1440 inch), turned into pixels
// at a window's real DPI.
#pragma once

namespace app::ui {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips, int dpi) {
  const long long scaled = static_cast<long long>(twips) * dpi;
  return static_cast<int>((scaled >= 0 ? scaled + kTwipsPerInch / 2 : scaled - kTwipsPerInch / 2) /
                          kTwipsPerInch);
}

constexpr int PixelsToTwips(int pixels, int dpi) {
  if (dpi <= 0) return 0;
  const long long scaled = static_cast<long long>(pixels) * kTwipsPerInch;
  return static_cast<int>((scaled >= 0 ? scaled + dpi / 2 : scaled - dpi / 2) / dpi);
}

// A control's place in twips.
struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const TwipsRect&, const TwipsRect&) = default;
};

}  // namespace app::ui
