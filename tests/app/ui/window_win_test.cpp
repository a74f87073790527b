#include "app/ui/window_win.h"

#include <gtest/gtest.h>

#include "app/resource.h"
#include "tests/app/engine/recording_log.h"
#include "tests/app/ui/page_host_win.h"

namespace app::ui {
namespace {

constexpr UINT kThrow = WM_APP;
constexpr UINT kReport = WM_APP + 1;

class TestWindow final : public Window {
 public:
  explicit TestWindow(Services& services) : Window(services, "TestWindow") {}
  void Create() {
    CreateWindowOf(L"HedgerowTestWindow", WS_OVERLAPPEDWINDOW, 0, L"Test", nullptr,
                   SIZE{200, 100});
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kThrow) throw Failure(5, "Untrapped.");
    if (message == kReport) {
      Reporting("cmdAddBlocked_Click", IDS_CANNOT_ADD_SITE, kIconInformation,
                [] { throw Failure(5, "Bad name."); });
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};

// The input box's template as a page whose edit field is laid out in twips.
class TestPage final : public Dialog {
 public:
  explicit TestPage(Services& services) : Dialog(services, "TestPage", IDD_INPUT_BOX) {}

 private:
  void Layout() override { Place(IDC_INPUT_TEXT, TwipsRect{1440, 720, 2880, 300}); }
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == kThrow) throw Failure(5, "Untrapped.");
    return Dialog::HandleMessage(message, wParam, lParam, result);
  }
};

class WindowLayerTest : public ::testing::Test {
 protected:
  test::RecordingLog log;
  test::RecordingDialogs dialogs;
  Services services{.log = &log, .dialogs = &dialogs, .productName = "Hedgerow"};
  ScopedServices installed{services};
};

TEST_F(WindowLayerTest, AFailureNoHandlerTrappedIsLoggedUnderTheTypeAndGoesNoFurther) {
  TestWindow window(services);
  window.Create();
  TestPage page(services);
  page.CreateModeless(nullptr);
  ::SendMessageW(window.handle(), kThrow, 0, 0);
  ::SendMessageW(page.handle(), kThrow, 0, 0);
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_EQ(log.entries[0].source, "TestWindow.WindowProc");
  EXPECT_EQ(log.entries[1].source, "TestPage.DialogProc");
  EXPECT_EQ(log.entries[1].description, "Untrapped.");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(WindowLayerTest, AReportingHandlerLogsUnderItsNameAndShowsItsText) {
  TestWindow window(services);
  window.Create();
  ::SendMessageW(window.handle(), kReport, 0, 0);
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].source, "TestWindow.cmdAddBlocked_Click");
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Cannot add web site. Bad name.|64|Hedgerow"});
}

TEST_F(WindowLayerTest, TwipsFollowTheWindowsDpiAndAChangeRelaysOut) {
  TestPage page(services);
  test::PageHost host(services);
  host.Create(page, 6000, 3000);
  const auto left = [&] {
    RECT place{};
    ::GetWindowRect(page.Item(IDC_INPUT_TEXT), &place);
    ::MapWindowPoints(nullptr, page.handle(), reinterpret_cast<POINT*>(&place), 2);
    return place.left;
  };
  EXPECT_EQ(left(), page.dpi());  // one inch in
  RECT suggested{0, 0, 900, 450};
  ::SendMessageW(page.handle(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(page.dpi(), 144);
  EXPECT_EQ(left(), 144);
}

}  // namespace
}  // namespace app::ui
