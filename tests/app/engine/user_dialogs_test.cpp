#include "app/engine/user_dialogs.h"

#include <gtest/gtest.h>

#include "app/engine/services.h"

namespace app {
namespace {

class ScriptedDialogs final : public UserDialogs {
 public:
  int ShowMessageBox(const std::string& prompt, int style, const std::string& title) override {
    shown = prompt + "|" + std::to_string(style) + "|" + title;
    return kResultCancel;
  }
  std::optional<std::string> ShowInputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText, std::optional<int>,
                                      std::optional<int>) override {
    shown = prompt + "|" + title + "|" + defaultText;
    return answer;
  }
  std::optional<std::string> ShowOpenFile(const OpenFileRequest& request) override {
    shown = request.title + "|" + request.initialFolder;
    return answer;
  }
  std::string shown;
  std::optional<std::string> answer;
};

class UserDialogsTest : public ::testing::Test {
 protected:
  ScriptedDialogs dialogs;
  Services services{.dialogs = &dialogs, .productName = "Hedgerow"};
  ScopedServices installed{services};
};

TEST_F(UserDialogsTest, AnEmptyTitleBecomesTheProductName) {
  EXPECT_EQ(AppMsgBox("Cannot add web site. x", kOkOnly + kIconInformation, ""), kResultCancel);
  EXPECT_EQ(dialogs.shown, "Cannot add web site. x|64|Hedgerow");
  AppInputBox("Site:", "");
  EXPECT_EQ(dialogs.shown, "Site:|Hedgerow|");
  AppMsgBox("p", kOkCancel, "Own title");
  EXPECT_EQ(dialogs.shown, "p|1|Own title");
}

TEST_F(UserDialogsTest, CancellingTheInputBoxGivesEmptyText) {
  dialogs.answer = std::nullopt;
  EXPECT_EQ(AppInputBox("Site:", "", "preset"), "");
  EXPECT_EQ(dialogs.shown, "Site:|Hedgerow|preset");
  dialogs.answer = "typed";
  EXPECT_EQ(AppInputBox("Site:", ""), "typed");
}

}  // namespace
}  // namespace app
