#include "app/ui/system_dialogs_win.h"

#include <gtest/gtest.h>

#include <functional>

#include "app/engine/services.h"
#include "app/resource.h"
#include "tests/support/win_test_support.h"

namespace app::ui {
namespace {

using hg::test::AnswerNextDialog;
using hg::test::PressButton;
using hg::test::WindowText;

// The message box's text control, as the system's message box numbers it.
constexpr int kMessageTextId = 0xFFFF;

class SystemDialogsTest : public ::testing::Test {
 protected:
  SystemDialogs dialogs;
  Services services{.dialogs = &dialogs, .productName = "Hedgerow"};
  ScopedServices installed{services};
};

TEST_F(SystemDialogsTest, InputBoxShowsPromptTitleAndDefaultAndAnswersOkEnterAndEscape) {
  const struct {
    const char* how;
    std::function<void(HWND dialog, HWND edit)> answer;
    std::optional<std::string> result;
  } cases[] = {
      {"OK",
       [](HWND dialog, HWND edit) {
         ::SetWindowTextW(edit, L"caf\u00e9.example");
         PressButton(dialog, IDOK);
       },
       "caf\xC3\xA9.example"},
      {"Enter", [](HWND, HWND edit) { ::PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 1); }, "www."},
      {"Escape", [](HWND, HWND edit) { ::PostMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1); },
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    std::wstring title, prompt, preset;
    bool typingGoesToTheEdit = false;
    AnswerNextDialog([&](HWND dialog) {
      const HWND edit = ::GetDlgItem(dialog, IDC_INPUT_TEXT);
      typingGoesToTheEdit = ::GetFocus() == edit;
      title = WindowText(dialog);
      prompt = WindowText(::GetDlgItem(dialog, IDC_INPUT_PROMPT));
      preset = WindowText(edit);
      c.answer(dialog, edit);
    });
    EXPECT_EQ(dialogs.ShowInputBox("Web site:", "Hedgerow", "www.", {}, {}), c.result);
    EXPECT_EQ(title, L"Hedgerow");
    EXPECT_EQ(prompt, L"Web site:");
    EXPECT_EQ(preset, L"www.");
    EXPECT_TRUE(typingGoesToTheEdit);
  }
}

TEST_F(SystemDialogsTest, MessageBoxShowsPromptAndTitleAndReturnsTheButtonPressed) {
  std::wstring title, prompt;
  AnswerNextDialog([&](HWND dialog) {
    title = WindowText(dialog);
    prompt = WindowText(::GetDlgItem(dialog, kMessageTextId));
    PressButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(dialogs.ShowMessageBox("Delete?", kOkCancel + kIconExclamation, "Hedgerow"),
            kResultCancel);
  EXPECT_EQ(title, L"Hedgerow");
  EXPECT_EQ(prompt, L"Delete?");
}

}  // namespace
}  // namespace app::ui
