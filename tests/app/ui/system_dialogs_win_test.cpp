#include "app/ui/system_dialogs_win.h"

#include <gtest/gtest.h>

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

TEST_F(SystemDialogsTest, InputBoxShowsPromptTitleAndDefaultAndReturnsTheEditedText) {
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

TEST_F(SystemDialogsTest, InputBoxTakesEnterAsOkAndEscapeAsCancel) {
  const struct {
    UINT key;
    std::optional<std::string> result;
  } cases[] = {{VK_RETURN, "typed"}, {VK_ESCAPE, std::nullopt}};
  for (const auto& c : cases) {
    AnswerNextDialog([&](HWND dialog) {
      const HWND edit = ::GetDlgItem(dialog, IDC_INPUT_TEXT);
      ::PostMessageW(edit, WM_KEYDOWN, c.key, 1);
      ::PostMessageW(edit, WM_KEYUP, c.key, 0xC0000001);
    });
    EXPECT_EQ(dialogs.ShowInputBox("Web site:", "Hedgerow", "typed", {}, {}), c.result) << c.key;
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
