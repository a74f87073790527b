#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/scratch_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Exists;
using hg::test::ReadRaw;
using hg::test::WriteRaw;
using hg::test::Bstr;
using hg::win::com_ptr;
using Failure = hg::test::ComFailure;
using hg::test::LastFailure;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;
       start = at + separator.size()) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The fields of a log file holding exactly one line.
std::vector<std::string> OnlyLineFields(const std::string& file) {
  const std::vector<std::string> lines = Split(file, "\r\n");
  EXPECT_EQ(lines.size(), 2u) << file;  // one line and the empty rest after its CR LF
  return Split(lines.front(), "\t");
}

class AxLogTest : public ::testing::Test {
 protected:
  HRESULT Log(LONG number, const std::wstring& description, enSeverity severity,
              const wchar_t* source) {
    return log->LogIt(number, Bstr(description), severity,
                      source ? hg::test::Text(source).get() : hg::win::MissingArgument());
  }

  bool ShortLogMode() {
    VARIANT_BOOL mode = VARIANT_TRUE;
    EXPECT_EQ(log->get_ShortLogMode(&mode), S_OK);
    return mode != VARIANT_FALSE;
  }

  hg::test::ComApartment com;
  hg::test::ScratchFolder scratch{L"log"};
  com_ptr<_axLog> log = hg::test::Create<_axLog>(CLSID_axLog, IID__axLog);
  const std::wstring mainLog = scratch / L"main.log";
  const std::wstring shortLog = scratch / L"short.log";
};

TEST_F(AxLogTest, AFreshWriterHasNoPathsAndLogsQuietly) {
  EXPECT_EQ(Log(1, L"d", sevError, nullptr), S_OK);
  EXPECT_FALSE(ShortLogMode());
  hg::win::unique_bstr name;
  ASSERT_EQ(log->get_FileName(name.put()), S_OK);
  EXPECT_EQ(::SysStringLen(name.get()), 0u);
}

TEST_F(AxLogTest, Init2WritesEachEntryToBothLogs) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  ASSERT_EQ(Log(0, L"x", sevError, nullptr), S_OK);
  for (const std::wstring& file : {mainLog, shortLog}) {
    const std::vector<std::string> fields = OnlyLineFields(ReadRaw(file));
    ASSERT_EQ(fields.size(), 5u);
    EXPECT_FALSE(fields[0].empty());
    EXPECT_EQ(fields[1], "Error");
    EXPECT_EQ(fields[2], "");
    EXPECT_EQ(fields[3], "x");
    EXPECT_EQ(fields[4], "");
  }
  hg::win::unique_bstr name;
  ASSERT_EQ(log->get_ShortLogFileName(name.put()), S_OK);
  EXPECT_EQ(std::wstring(name.get()), shortLog);
}

TEST_F(AxLogTest, TheTimeStampHoldsTheDateAndTheTimeToTheSecond) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  ASSERT_EQ(Log(0, L"x", sevTrace, L"FMain.Form_Initialize"), S_OK);
  const std::vector<std::string> fields = OnlyLineFields(ReadRaw(mainLog));
  ASSERT_EQ(fields.size(), 5u);
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  EXPECT_NE(fields[0].find(std::to_string(now.wYear)), std::string::npos) << fields[0];
  EXPECT_EQ(std::count(fields[0].begin(), fields[0].end(), ':'), 2) << fields[0];
  EXPECT_EQ(fields[1], "Trace");
  EXPECT_EQ(fields[4], "FMain.Form_Initialize");
}

TEST_F(AxLogTest, NumbersAreHexadecimalAndUnknownSeveritiesEmpty) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  ASSERT_EQ(Log(-1, L"a", static_cast<enSeverity>(7), L"s"), S_OK);
  ASSERT_EQ(Log(255, L"b", static_cast<enSeverity>(-1), L"s"), S_OK);
  const std::vector<std::string> lines = Split(ReadRaw(mainLog), "\r\n");
  ASSERT_EQ(lines.size(), 3u);
  const auto first = Split(lines[0], "\t");
  const auto second = Split(lines[1], "\t");
  ASSERT_EQ(first.size(), 5u);
  ASSERT_EQ(second.size(), 5u);
  EXPECT_EQ(first[1], "");
  EXPECT_EQ(first[2], "FFFFFFFF");
  EXPECT_EQ(second[1], "");
  EXPECT_EQ(second[2], "FF");
}

TEST_F(AxLogTest, LongDescriptionsAreCutInTheMainLogOnly) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  const std::wstring description = std::wstring(500, L'a') + L"m" + std::wstring(524, L'z');
  ASSERT_EQ(Log(0, description, sevError, nullptr), S_OK);
  EXPECT_EQ(OnlyLineFields(ReadRaw(shortLog))[3], hg::win::Narrow(description));
  EXPECT_EQ(OnlyLineFields(ReadRaw(mainLog))[3],
            std::string(500, 'a') + "..........." + std::string(500, 'z'));
}

TEST_F(AxLogTest, TextIsWrittenInTheSystemCodePage) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  const std::wstring description = L"caf\u00e9 \u4e2d";
  ASSERT_EQ(Log(0, description, sevError, L"src"), S_OK);
  EXPECT_EQ(Split(ReadRaw(mainLog), "\t")[3], hg::win::WideToAnsi(description));
}

TEST_F(AxLogTest, Init2EmptiesTheShortLogButNotTheMainLog) {
  WriteRaw(shortLog, "old short\r\n");
  WriteRaw(mainLog, "old main\r\n");
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  EXPECT_FALSE(Exists(shortLog));
  ASSERT_EQ(Log(0, L"new", sevError, nullptr), S_OK);
  EXPECT_EQ(ReadRaw(shortLog).find("old"), std::string::npos);
  EXPECT_EQ(ReadRaw(mainLog).rfind("old main\r\n", 0), 0u);
}

TEST_F(AxLogTest, Init2IgnoresAShortLogItCannotDelete) {
  EXPECT_EQ(log->Init2(Bstr(mainLog), Bstr(scratch / L"none\\short.log")), S_OK);
  WriteRaw(shortLog, "held");
  const HANDLE lock = ::CreateFileW(shortLog.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  EXPECT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  EXPECT_EQ(Log(0, L"x", sevError, nullptr), S_OK);
  ::CloseHandle(lock);
  EXPECT_EQ(OnlyLineFields(ReadRaw(mainLog))[3], "x");
}

TEST_F(AxLogTest, PathsHoldingANulAreRefusedBeforeAnythingIsDeleted) {
  // Cut at the NUL, the short log's path would name the main log.
  WriteRaw(mainLog, "kept");
  const std::wstring cut = mainLog + L'\0' + L".short";
  const Failure failure = LastFailure(log->Init2(Bstr(mainLog), Bstr(cut)));
  EXPECT_EQ(failure.hr, E_INVALIDARG);
  EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << failure.description;
  EXPECT_EQ(log->Init(Bstr(cut)), E_INVALIDARG);
  EXPECT_EQ(ReadRaw(mainLog), "kept");
}

TEST_F(AxLogTest, AfterInitOnlyTheMainLogIsWritten) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  EXPECT_FALSE(ShortLogMode());
  ASSERT_EQ(Log(0, L"x", sevError, nullptr), S_OK);
  EXPECT_FALSE(Exists(shortLog));
  EXPECT_EQ(OnlyLineFields(ReadRaw(mainLog))[3], "x");
}

TEST_F(AxLogTest, EachLogGetsTheLineWhenTheOthersFolderIsMissing) {
  ASSERT_EQ(log->Init2(Bstr(scratch / L"none\\main.log"), Bstr(shortLog)), S_OK);
  EXPECT_EQ(Log(0, L"to short", sevError, nullptr), S_OK);
  EXPECT_EQ(OnlyLineFields(ReadRaw(shortLog))[3], "to short");

  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(scratch / L"none\\short.log")), S_OK);
  EXPECT_EQ(Log(0, L"to main", sevError, nullptr), S_OK);
  EXPECT_EQ(OnlyLineFields(ReadRaw(mainLog))[3], "to main");
}

TEST_F(AxLogTest, OthersMayReadAndMoveTheLogMeanwhile) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  ASSERT_EQ(Log(0, L"first", sevError, nullptr), S_OK);
  const HANDLE reader = ::CreateFileW(mainLog.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Log(0, L"second", sevError, nullptr), S_OK);
  ::CloseHandle(reader);
  EXPECT_EQ(Split(ReadRaw(mainLog), "\r\n").size(), 3u);
  ASSERT_TRUE(::MoveFileW(mainLog.c_str(), (scratch / L"moved.log").c_str()));
  EXPECT_EQ(Log(0, L"third", sevError, nullptr), S_OK);
  EXPECT_EQ(OnlyLineFields(ReadRaw(mainLog))[3], "third");
}

TEST(AxLogScript, VBScriptUsesAxLogLateBound) {
  hg::test::ComApartment com;
  const hg::test::ScriptRun run = hg::test::RunScript(L"log_test.vbs");
  EXPECT_EQ(hg::test::LastLine(run.output), "PASS") << run.output;
}

}  // namespace
