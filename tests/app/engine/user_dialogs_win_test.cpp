#include "app/engine/user_dialogs_win.h"

#include <gtest/gtest.h>

#include "app/resource.h"
#include "tests/support/win_test_support.h"

namespace app::engine {
namespace {

using hg::test::AnswerNextDialog;
using hg::test::PressButton;
using hg::test::WindowText;

// The message box's text control, as the system's message box numbers it.
constexpr int kMessageTextId = 0xFFFF;

TEST(InputBox, ShowsPromptTitleAndDefaultAndReturnsTheEditedText) {
  SystemDialogs dialogs(::GetModuleHandleW(nullptr));
  std::wstring title, prompt, preset;
  bool typingGoesToTheEdit = false;
  AnswerNextDialog([&](HWND dialog) {
    typingGoesToTheEdit = ::GetFocus() == ::GetDlgItem(dialog, IDC_INPUT_TEXT);
    title = WindowText(dialog);
    prompt = WindowText(::GetDlgItem(dialog, IDC_INPUT_PROMPT));
    preset = WindowText(::GetDlgItem(dialog, IDC_INPUT_TEXT));
    ::SetDlgItemTextW(dialog, IDC_INPUT_TEXT, L"caf\u00e9.example");
    PressButton(dialog, IDOK);
  });
  const auto typed = dialogs.ShowInputBox("Web site:", "Hedgerow", "www.", {}, {});
  EXPECT_EQ(title, L"Hedgerow");
  EXPECT_EQ(prompt, L"Web site:");
  EXPECT_EQ(preset, L"www.");
  EXPECT_TRUE(typingGoesToTheEdit);
  EXPECT_EQ(typed, std::optional<std::string>("caf\xC3\xA9.example"));
}

TEST(InputBox, CancelGivesNothing) {
  SystemDialogs dialogs(::GetModuleHandleW(nullptr));
  AnswerNextDialog([](HWND dialog) { PressButton(dialog, IDCANCEL); });
  EXPECT_EQ(dialogs.ShowInputBox("Web site:", "Hedgerow", "typed before", {}, {}), std::nullopt);
}

TEST(SystemMessageBox, ShowsPromptAndTitleAndReturnsTheButtonPressed) {
  SystemDialogs dialogs(::GetModuleHandleW(nullptr));
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
}  // namespace app::engine
