#include "app/engine/library_win.h"

#include <gtest/gtest.h>

#include "app/engine/services.h"
#include "app/resource.h"
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
}

TEST_F(LibraryTest, AFailedCallBecomesAFailureWithTheLibrarysNumberAndDescription) {
  hg::win::unique_bstr content;
  const HRESULT hr = SharedFileOps().LoadFile(
      hg::win::MakeBstr(std::wstring_view(L"C:\\no-such-folder\\no-such-file")).get(),
      content.put());
  ASSERT_TRUE(FAILED(hr));
  const Failure failure = FailureOfCall(hr);
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(hr));
  EXPECT_FALSE(failure.description().empty());
}

TEST_F(LibraryTest, AFailureWithoutErrorInformationTakesTheSystemsText) {
  ::SetErrorInfo(0, nullptr);
  const Failure failure = FailureOfCall(E_ACCESSDENIED);
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(E_ACCESSDENIED));
  EXPECT_FALSE(failure.description().empty());
}

TEST_F(LibraryTest, AnEdgeFailureWithoutDescriptionTakesTheSystemsText) {
  ::SetErrorInfo(0, nullptr);
  const Failure failure =
      FailureOf(std::make_exception_ptr(hg::win::HResultError(E_ACCESSDENIED, {})));
  EXPECT_EQ(failure.number(), static_cast<std::int32_t>(E_ACCESSDENIED));
  EXPECT_EQ(failure.description(), FailureOfCall(E_ACCESSDENIED).description());
  EXPECT_FALSE(failure.description().empty());
}

TEST_F(LibraryTest, TheTrapKeepsAnEdgeFailuresNumberAndGivesItTheSystemsText) {
  Failure trapped(0, {});
  Trapped([] { hg::win::ThrowHResult(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)); },
          [&](const Failure& failure) { trapped = failure; });
  EXPECT_EQ(trapped.number(), static_cast<std::int32_t>(0x80070002u));
  EXPECT_EQ(trapped.description(),
            FailureOfCall(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)).description());
  EXPECT_FALSE(trapped.description().empty());
}

TEST_F(LibraryTest, FormatStringFillsThePlaceholders) {
  EXPECT_EQ(FormatString("Cannot apply to '%1'. ", {"C:\\hosts"}), "Cannot apply to 'C:\\hosts'. ");
  EXPECT_EQ(FormatString("%2-%1", {"a", "b"}), "b-a");
}

TEST_F(LibraryTest, FailuresAreLoggedThroughTheLogWriter) {
  hg::test::ScratchFolder folder(L"library-log");
  {
    AxLogFailureLog log(hg::win::Narrow(folder / L"HGRW.log"), hg::win::Narrow(folder / L"short.log"));
    log.LogIt(static_cast<std::int32_t>(0x80040687u), "Cannot apply to 'x'. ",
              Severity::kInternalError, "MHGR.ApplyBlocked");
  }
  const std::string line = hg::test::ReadRaw(folder / L"HGRW.log");
  EXPECT_NE(line.find("\t80040687\tCannot apply to 'x'. \tMHGR.ApplyBlocked\r\n"), std::string::npos)
      << line;
}

TEST(FailureTexts, StandInTheStringTableUnderTheirIds) {
  const struct {
    UINT id;
    const wchar_t* text;
  } texts[] = {
      {IDS_CANNOT_APPLY_BLOCKING, L"Cannot apply web site blocking. "},
      {IDS_CANNOT_ADD_SITE, L"Cannot add web site. "},
      {IDS_CANNOT_BLOCK_SITES, L"Cannot block web site(s). "},
      {IDS_CANNOT_UNBLOCK_SITES, L"Cannot unblock web site(s). "},
      {IDS_CANNOT_BLOCK_LIST, L"Cannot block web sites. "},
      {IDS_CANNOT_DELETE_SITES, L"Cannot delete web site(s). "},
      {IDS_CANNOT_APPLY_TO, L"Cannot apply to '%1'. "},
  };
  for (const auto& expected : texts) {
    wchar_t buffer[100] = {};
    ::LoadStringW(::GetModuleHandleW(nullptr), expected.id, buffer, 100);
    EXPECT_STREQ(buffer, expected.text) << expected.id;
  }
}

}  // namespace
}  // namespace app::engine
