// FAbout's and the help pane's content and places, without the window.
#pragma once

#include <string>

namespace app::shell {

// lblName: the version line, the copyright notice and the empty lines after
// them, each ended by CR LF.
std::string AboutNameText();

// Places in twips: the About box as shown (its button moved up by its own
// height, the window that much lower than designed).
struct AboutPlaces {
  static constexpr int kWidth = 5235;
  static constexpr int kHeight = 3420 - 360;
  static constexpr int kLogoLeft = 240, kLogoTop = 240, kLogoSize = 960;
  static constexpr int kNameLeft = 1440, kNameTop = 240;
  static constexpr int kSeparatorLeft = 240, kSeparatorTop = 1830, kSeparatorWidth = 4605;
  static constexpr int kOkLeft = 3810, kOkTop = 2820 - 360, kOkWidth = 1135, kOkHeight = 360;
  static constexpr int kVisitLeft = 240;
};

}  // namespace app::shell
