// axLog through its interface, on a scratch drive: which files get a line and
// when (the line's text is tested natively).
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Bstr;
using hg::test::Exists;
using hg::test::ReadRaw;
using hg::test::WriteRaw;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size()) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The fields of a log file holding exactly one line.
std::vector<std::string> OnlyLineFields(const std::string& file) {
  const std::vector<std::string> lines = Split(file, "\r\n");
  EXPECT_EQ(lines.size(), 2u) << file;  // one line and the empty rest after its CR LF
  auto fields = Split(lines.front(), "\t");
  fields.resize(5);
  return fields;
}

class AxLogTest : public ::testing::Test {
 protected:
  HRESULT Log(const std::wstring& description, enSeverity severity = sevError, const wchar_t* source = nullptr) {
    return log->LogIt(0, Bstr(description), severity,
        source ? hg::test::Text(source).get() : hg::win::MissingArgument());
  }
  bool ShortLogMode() { return hg::test::Flag([&](VARIANT_BOOL* mode) { return log->get_ShortLogMode(mode); }); }
  // The description of the only line of a log.
  std::string Logged(const std::wstring& file) { return OnlyLineFields(ReadRaw(file))[3]; }

  hg::test::ComApartment com;
  hg::test::ScratchFolder scratch{L"log"};
  hg::win::com_ptr<_axLog> log = hg::test::Create<_axLog>(CLSID_axLog, IID__axLog);
  const std::wstring mainLog = scratch / L"main.log";
  const std::wstring shortLog = scratch / L"short.log";
};

TEST_F(AxLogTest, AFreshWriterHasNoPathsAndLogsQuietly) {
  EXPECT_EQ(Log(L"d"), S_OK);
  EXPECT_FALSE(ShortLogMode());
  EXPECT_EQ(hg::test::Str([&](BSTR* name) { return log->get_FileName(name); }), L"");
}

TEST_F(AxLogTest, Init2WritesEachEntryToBothLogsCuttingLongDescriptionsInTheMainLogOnly) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  EXPECT_EQ(hg::test::Str([&](BSTR* name) { return log->get_ShortLogFileName(name); }), shortLog);
  const std::wstring description = std::wstring(500, L'a') + L"m" + std::wstring(524, L'z');
  ASSERT_EQ(Log(description, sevTrace, L"FMain.Form_Initialize"), S_OK);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  for (const std::wstring& file : {mainLog, shortLog}) {
    const std::vector<std::string> fields = OnlyLineFields(ReadRaw(file));
    // The time stamp holds the date and the time to the second.
    EXPECT_NE(fields[0].find(std::to_string(now.wYear)), std::string::npos) << fields[0];
    EXPECT_EQ(std::count(fields[0].begin(), fields[0].end(), ':'), 2) << fields[0];
    EXPECT_EQ(fields[1], "Trace");
    EXPECT_EQ(fields[4], "FMain.Form_Initialize");
  }
  EXPECT_EQ(Logged(shortLog), hg::win::Narrow(description));
  EXPECT_EQ(Logged(mainLog), std::string(500, 'a') + "..........." + std::string(500, 'z'));
}

TEST_F(AxLogTest, TextIsWrittenInTheSystemCodePage) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  const std::wstring description = L"caf\u00e9 \u4e2d";
  ASSERT_EQ(Log(description), S_OK);
  EXPECT_EQ(Logged(mainLog), hg::win::WideToAnsi(description));
}

TEST_F(AxLogTest, Init2EmptiesTheShortLogButNotTheMainLog) {
  WriteRaw(shortLog, "old short\r\n");
  WriteRaw(mainLog, "old main\r\n");
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  EXPECT_FALSE(Exists(shortLog));
  ASSERT_EQ(Log(L"new"), S_OK);
  EXPECT_EQ(Logged(shortLog), "new");
  EXPECT_EQ(ReadRaw(mainLog).rfind("old main\r\n", 0), 0u);
}

TEST_F(AxLogTest, Init2IgnoresAShortLogItCannotDelete) {
  EXPECT_EQ(log->Init2(Bstr(mainLog), Bstr(scratch / L"none\\short.log")), S_OK);
  WriteRaw(shortLog, "held");
  {
    const auto lock = hg::test::Locked(shortLog);
    EXPECT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
    EXPECT_EQ(Log(L"x"), S_OK);
  }
  EXPECT_EQ(Logged(mainLog), "x");
}

TEST_F(AxLogTest, PathsHoldingANulAreRefusedBeforeAnythingIsDeleted) {
  // Cut at the NUL, the short log's path would name the main log.
  WriteRaw(mainLog, "kept");
  const std::wstring cut = mainLog + L'\0' + L".short";
  const auto failure = hg::test::LastFailure(log->Init2(Bstr(mainLog), Bstr(cut)));
  EXPECT_EQ(failure.hr, E_INVALIDARG);
  EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << failure.description;
  EXPECT_EQ(log->Init(Bstr(cut)), E_INVALIDARG);
  EXPECT_EQ(ReadRaw(mainLog), "kept");
}

TEST_F(AxLogTest, AfterInitOnlyTheMainLogIsWritten) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  EXPECT_FALSE(ShortLogMode());
  ASSERT_EQ(Log(L"x"), S_OK);
  EXPECT_FALSE(Exists(shortLog));
  EXPECT_EQ(Logged(mainLog), "x");
}

TEST_F(AxLogTest, EachLogGetsTheLineWhenTheOthersFolderIsMissing) {
  ASSERT_EQ(log->Init2(Bstr(scratch / L"none\\main.log"), Bstr(shortLog)), S_OK);
  EXPECT_EQ(Log(L"to short"), S_OK);
  EXPECT_EQ(Logged(shortLog), "to short");
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(scratch / L"none\\short.log")), S_OK);
  EXPECT_EQ(Log(L"to main"), S_OK);
  EXPECT_EQ(Logged(mainLog), "to main");
}

TEST_F(AxLogTest, OthersMayReadAndMoveTheLogMeanwhile) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  ASSERT_EQ(Log(L"first"), S_OK);
  const HANDLE reader = ::CreateFileW(mainLog.c_str(), GENERIC_READ,
      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Log(L"second"), S_OK);
  ::CloseHandle(reader);
  EXPECT_EQ(Split(ReadRaw(mainLog), "\r\n").size(), 3u);
  ASSERT_TRUE(::MoveFileW(mainLog.c_str(), (scratch / L"moved.log").c_str()));
  EXPECT_EQ(Log(L"third"), S_OK);
  EXPECT_EQ(Logged(mainLog), "third");
}

TEST(AxLogScript, VBScriptUsesAxLogLateBound) {
  hg::test::ComApartment com;
  hg::test::ExpectScriptPasses(L"log_test.vbs");
}

}  // namespace
