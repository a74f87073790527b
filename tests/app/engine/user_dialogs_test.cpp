#include "app/engine/user_dialogs.h"

#include <gtest/gtest.h>

#include "tests/app/engine/recording_log.h"

namespace app {
namespace {

using UserDialogsTest = test::RecordingTest;

TEST_F(UserDialogsTest, AnEmptyTitleBecomesTheProductNameAndACancelledInputBoxEmptyText) {
  dialogs.buttons = {kResultCancel};
  EXPECT_EQ(AppMsgBox("Cannot add web site. x", kOkOnly + kIconInformation, ""), kResultCancel);
  AppMsgBox("p", kOkCancel, "Own title");
  dialogs.inputs = {std::nullopt, "typed"};
  EXPECT_EQ(AppInputBox("Site:", "", "preset"), "");
  EXPECT_EQ(AppInputBox("Site:", ""), "typed");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"Cannot add web site. x|64|Hedgerow", "p|1|Own title",
                                                     "Site:|Hedgerow|preset", "Site:|Hedgerow|"}));
}

}  // namespace
}  // namespace app
