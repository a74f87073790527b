// The window layer and the system dialogs behind the program's seam.
#include <gtest/gtest.h>

#include "app/engine/services.h"
#include "app/resource.h"
#include "app/ui/system_dialogs_win.h"
#include "app/ui/window_win.h"
#include "tests/app/engine/recording_log.h"
#include "tests/support/win_test_support.h"

namespace app::ui {
namespace {

using namespace hg::test;

constexpr UINT kThrow = WM_APP;
constexpr UINT kReport = WM_APP + 1;

class TestWindow final : public Window {
 public:
  explicit TestWindow(Services& services) : Window(services, "TestWindow") {
    CreateWindowOf(L"HedgerowTestWindow", WS_OVERLAPPEDWINDOW, 0, L"Test", nullptr, SIZE{200, 100});
  }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kThrow) throw Failure(5, "Untrapped.");
    if (message == kReport) {
      Reporting("cmdAddBlocked_Click", IDS_CANNOT_ADD_SITE, kIconInformation, [] { throw Failure(5, "Bad name."); });
      return 0;
    }
    return Window::HandleMessage(message, wParam, lParam);
  }
};

class TestPage final : public Dialog {
 public:
  explicit TestPage(Services& services) : Dialog(services, "TestPage", IDD_INPUT_BOX) {}

 private:
  bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == kThrow) throw Failure(5, "Untrapped.");
    return Dialog::HandleMessage(message, wParam, lParam, result);
  }
};

// A failure no handler trapped is logged under the type and goes no further;
// a reporting handler logs under its name and shows its text.
using WindowLayer = test::RecordingTest;

TEST_F(WindowLayer, FailuresAreLoggedUnderTheTypeOrTheHandlerAndOnlyAReportIsShown) {
  TestWindow window(services);
  TestPage page(services);
  page.CreateModeless(nullptr);
  ::SendMessageW(window.handle(), kThrow, 0, 0);
  ::SendMessageW(page.handle(), kThrow, 0, 0);
  ::SendMessageW(window.handle(), kReport, 0, 0);
  ASSERT_EQ(log.entries.size(), 3u);
  EXPECT_EQ(log.entries[0].source, "TestWindow.WindowProc");
  EXPECT_EQ(log.entries[1].source, "TestPage.DialogProc");
  EXPECT_EQ(log.entries[1].description, "Untrapped.");
  EXPECT_EQ(log.entries[2].source, "TestWindow.cmdAddBlocked_Click");
  EXPECT_EQ(dialogs.shown, std::vector<std::string>{"Cannot add web site. Bad name.|64|Hedgerow"});
}

TEST(SystemDialogs, TheInputBoxShowsItsTextsAndAnswersEnterAndEscapeAndAMessageBoxTheButton) {
  SystemDialogs dialogs;
  Services services{.dialogs = &dialogs, .productName = "Hedgerow"};
  const ScopedServices installed{services};
  // Typed in the box, then the key that closes it.
  const struct {
    const char* how;
    WPARAM key;
    std::optional<std::string> result;
  } cases[] = {{"Enter", VK_RETURN, "caf\xC3\xA9.example"}, {"Escape", VK_ESCAPE, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    // A box never shown would give no row its typed answer.
    AnswerNextDialog([&](HWND dialog) {
      const HWND edit = ::GetDlgItem(dialog, IDC_INPUT_TEXT);
      ::SetForegroundWindow(dialog);  // in front, as a user sees it, whatever window another test shows
      EXPECT_EQ(::GetFocus(), edit);
      EXPECT_EQ(WindowText(dialog), L"Hedgerow");
      EXPECT_EQ(WindowText(::GetDlgItem(dialog, IDC_INPUT_PROMPT)), L"Web site:");
      EXPECT_EQ(WindowText(edit), L"www.");
      ::SetWindowTextW(edit, L"caf\u00e9.example");
      ::PostMessageW(edit, WM_KEYDOWN, c.key, 1);
    });
    EXPECT_EQ(dialogs.ShowInputBox("Web site:", "Hedgerow", "www.", {}, {}), c.result);
  }
  // Its texts are the real program's stop message's; here the button pressed comes back.
  AnswerNextDialog([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(dialogs.ShowMessageBox("Delete?", kOkCancel + kIconExclamation, "Hedgerow"), kResultCancel);
}

}  // namespace
}  // namespace app::ui
