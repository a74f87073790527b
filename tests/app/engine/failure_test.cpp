#include "app/engine/failure.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/engine/hosts_file.h"
#include "app/engine/services.h"
#include "app/engine/user_dialogs.h"
#include "tests/app/engine/recording_log.h"

namespace app::engine {
namespace {

using FailureTest = test::RecordingTest;

constexpr std::int32_t kAccessDenied = static_cast<std::int32_t>(0x80070005u);

TEST(ProgramErrorNumber, IsTheBasePlusTheStringId) {
  EXPECT_EQ(ProgramErrorNumber(kCannotApplyBlocking), static_cast<std::int32_t>(0x80040681u));
  EXPECT_EQ(ProgramErrorNumber(kCannotApplyTo), static_cast<std::int32_t>(0x80040687u));
  EXPECT_EQ(ProgramErrorNumber(1672), static_cast<std::int32_t>(0x80040688u));
}

// A hosts file that cannot be written during a block command: pattern M in
// the engine, E in the list control, R in the command handler.
TEST_F(FailureTest, ABlockCommandFailingToWriteLogsFourEntriesAndShowsOneMessage) {
  bool repaired = false;
  Trapped(
      [&] {
        Trapped(
            [&] {
              Trapped([] { throw Failure(kAccessDenied, "Access is denied. "); },
                      [](const Failure& f) {
                        LogTwiceAndRaise(f, "MHGR.ApplyBlocked", kCannotApplyTo,
                                         "Cannot apply to 'C:\\hosts'. ");
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
        ReportFailure(f, "ucBlockSite.cmdBlock_Click", "Cannot block web site(s). ",
                      kIconExclamation);
      });

  EXPECT_TRUE(repaired);
  ASSERT_EQ(log.entries.size(), 4u);
  EXPECT_EQ(log.entries[0].number, ProgramErrorNumber(kCannotApplyTo));
  EXPECT_EQ(log.entries[0].description, "Cannot apply to 'C:\\hosts'. ");
  EXPECT_EQ(log.entries[0].severity, Severity::kInternalError);
  EXPECT_EQ(log.entries[1].number, kAccessDenied);
  EXPECT_EQ(log.entries[1].source, "MHGR.ApplyBlocked");
  EXPECT_EQ(log.entries[2].number, kAccessDenied);
  EXPECT_EQ(log.entries[2].severity, Severity::kError);
  EXPECT_EQ(log.entries[2].source, "ucBlockSite.UpdateBlockedFile");
  EXPECT_EQ(log.entries[3].number, ProgramErrorNumber(kCannotApplyBlocking));
  EXPECT_EQ(log.entries[3].description, "Cannot apply web site blocking. Access is denied. ");
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0],
            "Cannot block web site(s). Cannot apply web site blocking. Access is denied. |48|"
            "Hedgerow");
}

TEST_F(FailureTest, SwallowingLogsOnceAndShowsNothing) {
  Trapped([] { throw Failure(kAccessDenied, "Access is denied. "); },
          [](const Failure& f) { SwallowFailure(f, "ucBlockSite.RefreshList"); });
  ASSERT_EQ(log.entries.size(), 1u);
  EXPECT_EQ(log.entries[0].severity, Severity::kError);
  EXPECT_TRUE(dialogs.shown.empty());
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

}  // namespace
}  // namespace app::engine
