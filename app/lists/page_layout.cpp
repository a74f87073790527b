// The layout of the site list page.
#include "app/lists/page_layout.h"

#include <cmath>

namespace app::lists {
namespace {

// A width or height is taken only when it is not negative.
void SetSize(int& size, long long value) {
  if (value >= 0) size = static_cast<int>(value);
}

}  // namespace

PageLayout DesignLayout() {
  return PageLayout{
      .unblockedLabel = {15, 0, 1605, 195},
      .unblocked = {0, 270, 2295, 2175},
      .removeUnblocked = {15, 2490, 2295, 345},
      .block = {2370, 1170, 1120, 345},
      .unblock = {2370, 1590, 1120, 345},
      .blockedLabel = {3600, 0, 1410, 195},
      .blocked = {3570, 270, 2265, 2175},
      .addBlocked = {3570, 2490, 2265, 345},
      .unblockedColumn = 2295 - 120,
      .blockedColumn = 2265 - 120,
  };
}

void ResizePage(PageLayout& page, double width, double height) {
  // Rounded halves to even, then halved with the fraction dropped.
  const long long half = static_cast<long long>(std::nearbyint(width - 1335)) / 2;
  SetSize(page.unblocked.width, half);
  SetSize(page.blocked.width, page.unblocked.width);
  page.block.left = page.unblocked.width + 105;
  page.unblock.left = page.block.left;
  page.blocked.left = page.block.left + page.block.width + 105;
  page.blockedLabel.left = page.blocked.left;
  SetSize(page.unblockedColumn, page.unblocked.width - 120LL);
  SetSize(page.blockedColumn, page.blocked.width - 120LL);
  SetSize(page.removeUnblocked.width, page.unblocked.width - 30LL);
  page.addBlocked.left = page.blocked.left + 15;
  SetSize(page.addBlocked.width, page.blocked.width - 30LL);
  page.removeUnblocked.top = static_cast<int>(std::nearbyint(height)) - page.removeUnblocked.height;
  page.addBlocked.top = page.removeUnblocked.top;
  SetSize(page.unblocked.height, page.removeUnblocked.top - page.unblocked.top - 60LL);
  SetSize(page.blocked.height, page.unblocked.height);
}

}  // namespace app::lists
