#include "app/engine/library_win.h"

#include <gtest/gtest.h>

#include "app/engine/services.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"

namespace app::engine {
namespace {

class LibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(apartment_.result())); }

  hg::test::ComApartment apartment_;
  LibraryObjects objects_;
  Services services_{.library = &objects_};
  ScopedServices installed_{services_};
};

TEST_F(LibraryTest, HoldsOneFileOpsAndOneGlobalForTheRun) {
  _FileOps* first = &SharedFileOps();
  EXPECT_EQ(&SharedFileOps(), first);
  _CGlobal* global = &SharedGlobal();
  EXPECT_EQ(&SharedGlobal(), global);
  EXPECT_EQ(FormatString("%2-%1", {"a", "b"}), "b-a");
}

TEST_F(LibraryTest, AFailedCallBecomesAFailureWithTheLibrarysNumberAndDescription) {
  hg::win::unique_bstr content;
  const HRESULT hr = SharedFileOps().LoadFile(
      hg::win::MakeBstr(std::wstring_view(L"C:\\no-such-folder\\no-such-file")).get(), content.put());
  ASSERT_TRUE(FAILED(hr));
  const Failure failure = FailureOfCall(hr);
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(hr));
  EXPECT_FALSE(failure.description().empty());
}

// Without error information or a description of its own, a failure takes the
// system's text for its number: from a call, from the edge, in the trap.
TEST_F(LibraryTest, TheTrapKeepsAnEdgeFailuresNumberAndGivesItTheSystemsText) {
  ::SetErrorInfo(0, nullptr);
  Failure trapped(0, {});
  Trapped([] { hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)); },
          [&](const Failure& failure) { trapped = failure; });
  const struct {
    Failure failure;
    HRESULT number;
  } cases[] = {
      {FailureOfCall(E_ACCESSDENIED), E_ACCESSDENIED},
      {FailureOf(std::make_exception_ptr(hg::win::HResultError(E_ACCESSDENIED, {}))), E_ACCESSDENIED},
      {trapped, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
  };
  for (const auto& [failure, number] : cases) {
    EXPECT_EQ(failure.number(), static_cast<std::int32_t>(number));
    EXPECT_FALSE(failure.description().empty());
    EXPECT_EQ(failure.description(), FailureOfCall(number).description());
  }
}

TEST_F(LibraryTest, FailuresAreLoggedThroughTheLogWriter) {
  hg::test::ScratchFolder folder(L"library-log");
  {
    AxLogFailureLog log(hg::win::Narrow(folder / L"HGRW.log"), hg::win::Narrow(folder / L"short.log"));
    log.LogIt(static_cast<std::int32_t>(0x80040687u), "Cannot apply to 'x'. ", Severity::kInternalError,
              "MHGR.ApplyBlocked");
  }
  const std::string line = hg::test::ReadRaw(folder / L"HGRW.log");
  EXPECT_NE(line.find("\t80040687\tCannot apply to 'x'. \tMHGR.ApplyBlocked\r\n"), std::string::npos) << line;
}

}  // namespace
}  // namespace app::engine
