// axLog and CMsgr through their interfaces: which files get a line and when
// (the line's text is tested natively), and who hears a message.
#include <olectl.h>

#include <algorithm>
#include <optional>

#include "tests/shared/library_test_win.h"
#include "tests/support/scratch_win.h"

namespace {

using namespace hg::test;
using hg::win::com_ptr;
using hg::win::Variant;

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size()) {
    parts.push_back(text.substr(start, at - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The descriptions of a log's lines joined by "|" (a line the writer did not
// write: whole); "<missing>" for no file.
std::string Descriptions(const std::wstring& file) {
  std::string descriptions = ReadRaw(file);
  if (descriptions == "<missing>") return descriptions;
  std::vector<std::string> lines = Split(descriptions, "\r\n");
  EXPECT_EQ(lines.back(), "") << descriptions;  // every line ends with CR LF
  lines.pop_back();
  descriptions.clear();
  for (const std::string& line : lines) {
    const std::vector<std::string> fields = Split(line, "\t");
    descriptions += (descriptions.empty() ? "" : "|") + (fields.size() == 5 ? fields[3] : line);
  }
  return descriptions;
}

class AxLogTest : public ::testing::Test {
 protected:
  HRESULT Log(const std::wstring& description) {
    return log->LogIt(0, Bstr(description), sevError, hg::win::MissingArgument());
  }

  ComApartment com;
  ScratchFolder scratch{L"log"};
  com_ptr<_axLog> log = Create<_axLog>(CLSID_axLog, IID__axLog);
  const std::wstring mainLog = scratch / L"main.log";
  const std::wstring shortLog = scratch / L"short.log";
};

// Each log gets the line whatever becomes of the other: a missing folder, a
// locked file. A path holding a NUL (cut there, the short log's path would
// name the main log) is refused before anything is deleted.
TEST_F(AxLogTest, EachLogGetsItsLinesWhateverBecomesOfTheOther) {
  const std::wstring missing = scratch / L"none\\log.log", cut = mainLog + L'\0' + L".short";
  const struct {
    const char* name;
    std::vector<std::vector<std::wstring>> inits;  // Init2 of two paths, Init of one
    bool lockShortLog;
    HRESULT initResult;
    std::string main, shortLines;
  } rows[] = {
      {"no paths", {}, false, S_OK, "old main", "old short"},
      {"Init2 empties the short log only", {{mainLog, shortLog}}, false, S_OK, "old main|x", "x"},
      {"Init writes the main log only", {{mainLog, shortLog}, {mainLog}}, false, S_OK, "old main|x", "<missing>"},
      {"the main log's folder is missing", {{missing, shortLog}}, false, S_OK, "old main", "x"},
      {"the short log's folder is missing", {{mainLog, missing}}, false, S_OK, "old main|x", "old short"},
      {"the short log is locked", {{mainLog, shortLog}}, true, S_OK, "old main|x", "old short"},
      {"Init2 of a path with a NUL", {{mainLog, cut}}, false, E_INVALIDARG, "old main", "old short"},
      {"Init of a path with a NUL", {{cut}}, false, E_INVALIDARG, "old main", "old short"},
  };
  for (const auto& row : rows) {
    log = Create<_axLog>(CLSID_axLog, IID__axLog);
    WriteRaw(mainLog, "old main\r\n");
    WriteRaw(shortLog, "old short\r\n");
    {
      std::optional<hg::win::unique_file_handle> lock;
      if (row.lockShortLog) lock = Locked(shortLog);
      HRESULT hr = S_OK;
      for (const auto& paths : row.inits) {
        hr = paths.size() == 2 ? log->Init2(Bstr(paths[0]), Bstr(paths[1])) : log->Init(Bstr(paths[0]));
      }
      const ComFailure failure = LastFailure(hr);
      EXPECT_EQ(failure.hr, row.initResult) << row.name;
      if (FAILED(failure.hr)) {
        EXPECT_NE(failure.description.find(L"NUL"), std::wstring::npos) << row.name;
      }
      EXPECT_EQ(Log(L"x"), S_OK) << row.name;
    }
    EXPECT_EQ(Descriptions(mainLog), row.main) << row.name;
    EXPECT_EQ(Descriptions(shortLog), row.shortLines) << row.name;
  }
}

// The main log cuts long descriptions, the short log keeps them whole; both
// write the system code page and stamp the date and the time to the second.
TEST_F(AxLogTest, Init2WritesEachEntryToBothLogs) {
  ASSERT_EQ(log->Init2(Bstr(mainLog), Bstr(shortLog)), S_OK);
  const std::wstring head = L"caf\u00e9 \u4e2d" + std::wstring(494, L'a');
  const std::wstring description = head + L"m" + std::wstring(524, L'z');
  ASSERT_EQ(Log(description), S_OK);
  EXPECT_EQ(Descriptions(shortLog), hg::win::WideToAnsi(description));
  EXPECT_EQ(Descriptions(mainLog), hg::win::WideToAnsi(head) + "..........." + std::string(500, 'z'));
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  const std::string stamp = Split(ReadRaw(mainLog), "\t")[0];
  EXPECT_NE(stamp.find(std::to_string(now.wYear)), std::string::npos) << stamp;
  EXPECT_EQ(std::count(stamp.begin(), stamp.end(), ':'), 2) << stamp;
}

TEST_F(AxLogTest, OthersMayReadAndMoveTheLogMeanwhile) {
  ASSERT_EQ(log->Init(Bstr(mainLog)), S_OK);
  ASSERT_EQ(Log(L"first"), S_OK);
  {
    const hg::win::unique_file_handle reader(::CreateFileW(mainLog.c_str(), GENERIC_READ,
                                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(Log(L"second"), S_OK);
  }
  EXPECT_EQ(Descriptions(mainLog), "first|second");
  ASSERT_TRUE(::MoveFileW(mainLog.c_str(), (scratch / L"moved.log").c_str()));
  EXPECT_EQ(Log(L"third"), S_OK);
  EXPECT_EQ(Descriptions(mainLog), "third");
}

TEST(LogScript, VBScriptUsesAxLogLateBound) {
  ComApartment com;
  ExpectScriptPasses(L"log_test.vbs");
}

class MsgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(container);
    ASSERT_EQ(container->FindConnectionPoint(DIID___CMsgr, point.put()), S_OK);
  }

  HRESULT Send(long msg, VARIANT data, const wchar_t* sender, const wchar_t* receiver) {
    const VARIANT missing = hg::win::MissingArgument();
    return messenger->SendMsg(msg, data, sender ? Text(sender).get() : missing,
                              receiver ? Text(receiver).get() : missing);
  }

  ComApartment com;
  com_ptr<_CMsgr> messenger = Create<_CMsgr>(CLSID_CMsgr, IID__CMsgr);
  com_ptr<IConnectionPointContainer> container =
      messenger.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  com_ptr<IConnectionPoint> point;
  std::vector<std::wstring> arrivals;
};

// Typed, left out and late-bound: every advised sink hears each message, in
// advise order, until it is unadvised; then it holds no reference.
TEST_F(MsgrTest, EverySinkHearsEachMessageInAdviseOrderUntilUnadvised) {
  RecordingSink first(DIID___CMsgr, L"first", arrivals), second(DIID___CMsgr, L"second", arrivals);
  {
    Advised one(point.get(), &first), two(point.get(), &second);
    {
      com_ptr<IEnumConnections> connections;
      ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
      CONNECTDATA data[3] = {};
      ULONG fetched = 0;
      EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
      ASSERT_EQ(fetched, 2u);
      EXPECT_EQ(data[0].dwCookie, one.cookie());
      EXPECT_EQ(data[1].dwCookie, two.cookie());
      EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&first));
      EXPECT_EQ(data[1].pUnk, static_cast<IUnknown*>(&second));
      for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
    }
    ASSERT_EQ(Send(7, Long(42).get(), L"me", L"you"), S_OK);
    ASSERT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
    auto dispatch = messenger.query<IDispatch>(IID_IDispatch);
    LPOLESTR name = const_cast<LPOLESTR>(L"SendMsg");
    DISPID id = 0;
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    const Variant payload = Text(L"payload");
    VARIANT args[2] = {payload.get(), Long(3).get()};  // Data, then Msg: last argument first
    DISPPARAMS params{args, nullptr, 2, 0};
    ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr),
              S_OK);
    const DWORD cookie = one.cookie();
    ASSERT_EQ(one.Unadvise(), S_OK);
    EXPECT_EQ(first.references(), 1u);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(Send(2, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
  }
  EXPECT_EQ(second.references(), 1u);
  EXPECT_EQ(arrivals, (std::vector<std::wstring>{L"first:long 7|long 42|me|you", L"second:long 7|long 42|me|you",
                                                 L"first:long 1|missing||", L"second:long 1|missing||",
                                                 L"first:long 3|payload||", L"second:long 3|payload||",
                                                 L"second:long 2|missing||"}));
}

TEST_F(MsgrTest, ASinkFailureReachesTheSenderAfterEverySinkRan) {
  RecordingSink failing(DIID___CMsgr, L"failing", arrivals, E_ACCESSDENIED), second(DIID___CMsgr, L"second", arrivals);
  Advised one(point.get(), &failing), two(point.get(), &second);
  EXPECT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), E_ACCESSDENIED);
  EXPECT_EQ(arrivals.size(), 2u);
}

TEST_F(MsgrTest, TheContainerOffersOnePointForTheEventInterface) {
  com_ptr<IConnectionPoint> other;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, other.put()), CONNECT_E_NOCONNECTION);
  com_ptr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
  IConnectionPoint* found[2] = {};
  ULONG fetched = 0;
  points->Next(2, found, &fetched);
  ASSERT_EQ(fetched, 1u);
  IID iid{};
  found[0]->GetConnectionInterface(&iid);
  EXPECT_EQ(iid, DIID___CMsgr);
  found[0]->Release();
  com_ptr<IConnectionPointContainer> back;
  ASSERT_EQ(point->GetConnectionPointContainer(back.put()), S_OK);
  EXPECT_EQ(back.get(), container.get());
}

}  // namespace
