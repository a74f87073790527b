#include "app/engine/failure.h"

#include <gtest/gtest.h>

#include <iterator>
#include <tuple>
#include <vector>

#include "app/engine/hosts_file.h"
#include "app/engine/services.h"
#include "app/engine/user_dialogs.h"
#include "tests/app/engine/recording_log.h"

namespace app::engine {
namespace {

using FailureTest = test::RecordingTest;

constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005u);

// A hosts file that cannot be written during a block command: pattern M in
// the engine, E in the list control, R in the command handler; then a
// swallowed failure, logged once and shown never.
TEST_F(FailureTest, ABlockCommandFailingToWriteLogsFourEntriesAndShowsOneMessage) {
  bool repaired = false;
  Trapped(
      [&] {
        Trapped(
            [&] {
              Trapped([] { throw Failure(kAccessDenied, "Access is denied. "); },
                      [](const Failure& f) {
                        LogTwiceAndRaise(f, "MHGR.ApplyBlocked", kCannotApplyTo, "Cannot apply to 'C:\\hosts'. ");
                      });
            },
            [&](const Failure& f) {
              RepairAndRaise(f, "ucBlockSite.UpdateBlockedFile", kCannotApplyBlocking,
                             "Cannot apply web site blocking. ", [&] {
                               repaired = true;
                               throw Failure(1, "ignored");
                             });
            });
      },
      [](const Failure& f) {
        ReportFailure(f, "ucBlockSite.cmdBlock_Click", "Cannot block web site(s). ", kIconExclamation);
      });
  Trapped([] { throw Failure(kAccessDenied, "Access is denied. "); },
          [](const Failure& f) { SwallowFailure(f, "ucBlockSite.RefreshList"); });

  EXPECT_TRUE(repaired);
  const test::LogEntry expected[] = {
      {static_cast<std::int32_t>(0x80040687u), "Cannot apply to 'C:\\hosts'. ", Severity::kInternalError,
       "MHGR.ApplyBlocked"},
      {kAccessDenied, "Access is denied. ", Severity::kInternalError, "MHGR.ApplyBlocked"},
      {kAccessDenied, "Access is denied. ", Severity::kError, "ucBlockSite.UpdateBlockedFile"},
      {static_cast<std::int32_t>(0x80040681u), "Cannot apply web site blocking. Access is denied. ", Severity::kError,
       "ucBlockSite.cmdBlock_Click"},
      {kAccessDenied, "Access is denied. ", Severity::kError, "ucBlockSite.RefreshList"},
  };
  ASSERT_EQ(log.entries.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const test::LogEntry &got = log.entries[i], &want = expected[i];
    EXPECT_EQ(std::tie(got.number, got.description, got.severity, got.source),
              std::tie(want.number, want.description, want.severity, want.source))
        << i;
  }
  EXPECT_EQ(dialogs.shown,
            std::vector<std::string>{
                "Cannot block web site(s). Cannot apply web site blocking. Access is denied. |48|Hedgerow"});
}

TEST(FailureOf, GivesEveryExceptionANumberAndADescription) {
  const auto of = [](auto thrown) { return FailureOf(std::make_exception_ptr(thrown)); };
  EXPECT_EQ(of(Failure(42, "x")).number(), 42);
  EXPECT_EQ(of(std::bad_alloc()).number(), 7);
  const Failure unsafe = of(UnsafeSiteName("a\nb"));
  EXPECT_FALSE(unsafe.description().empty());
  EXPECT_NE(unsafe.number(), 0);
  EXPECT_EQ(of(std::runtime_error("odd")).description(), "odd");
}

TEST_F(FailureTest, AMessageBoxWithoutATitleIsTitledWithTheProductName) {
  AppMsgBox("p", kOkCancel, "Own title");
  AppMsgBox("q", kOkOnly + kIconInformation, "");
  EXPECT_EQ(dialogs.shown, (std::vector<std::string>{"p|1|Own title", "q|64|Hedgerow"}));
}

}  // namespace
}  // namespace app::engine
