// axLog and CMsgr through their interfaces: which files get a line and when
// (the line's text is tested natively), and who hears a message.
#include <olectl.h>

#include <fstream>
#include <optional>
#include <regex>

#include "tests/shared/library_test_win.h"
#include "tests/support/scratch_win.h"

namespace {

using namespace hg::test;
using hg::win::com_ptr;

// The description of each line of a log, followed by "|"; a line the writer
// did not write (or without its CR LF) stays whole; "<missing>" for no file.
std::string Descriptions(const std::wstring& file) {
  static const std::regex line("[^\t\r\n]*\t[^\t\r\n]*\t[^\t\r\n]*\t([^\t\r\n]*)\t[^\t\r\n]*\r\n");
  return std::regex_replace(ReadRaw(file), line, "$1|");
}

// Each log gets the line whatever becomes of the other: a missing folder, a
// locked file. A path holding a NUL (cut there, the short log's path would
// name the main log) is refused before anything is deleted.
TEST(AxLogTest, EachLogGetsItsLinesWhateverBecomesOfTheOther) {
  const ComApartment com;
  const ScratchFolder scratch{L"log"};
  const std::wstring mainLog = scratch / L"main.log", shortLog = scratch / L"short.log";
  const std::wstring missing = scratch / L"none\\log.log", cut = mainLog + L'\0' + L".short";
  const struct {
    const char* name;
    std::vector<std::vector<std::wstring>> inits;  // Init2 of two paths, Init of one
    bool lockShortLog;
    HRESULT initResult;
    std::string main, shortLines;
  } rows[] = {
      {"Init writes the main log only", {{mainLog, shortLog}, {mainLog}}, false, S_OK, "old main\r\nx|", "<missing>"},
      {"the main log's folder is missing", {{missing, shortLog}}, false, S_OK, "old main\r\n", "x|"},
      {"the short log is locked", {{mainLog, shortLog}}, true, S_OK, "old main\r\nx|", "old short\r\n"},
      {"Init2 of a path with a NUL", {{mainLog, cut}}, false, E_INVALIDARG, "old main\r\n", "old short\r\n"},
      {"Init of a path with a NUL", {{cut}}, false, E_INVALIDARG, "old main\r\n", "old short\r\n"},
  };
  for (const auto& row : rows) {
    const auto log = Create<_axLog>(CLSID_axLog, IID__axLog);
    WriteRaw(mainLog, "old main\r\n");
    WriteRaw(shortLog, "old short\r\n");
    {
      const std::ifstream reader{std::filesystem::path(mainLog)};  // others may read meanwhile
      std::optional<hg::win::unique_file_handle> lock;
      if (row.lockShortLog) lock = Locked(shortLog);
      HRESULT hr = S_OK;
      for (const auto& paths : row.inits) {
        hr = paths.size() == 2 ? log->Init2(Bstr(paths[0]), Bstr(paths[1])) : log->Init(Bstr(paths[0]));
      }
      const ComFailure failure = LastFailure(hr);
      EXPECT_EQ(failure.hr, row.initResult) << row.name;
      EXPECT_EQ(FAILED(failure.hr), failure.description.find(L"NUL") != std::wstring::npos) << row.name;
      EXPECT_EQ(log->LogIt(0, Bstr(L"x"), sevError, hg::win::MissingArgument()), S_OK) << row.name;
    }
    EXPECT_EQ(Descriptions(mainLog), row.main) << row.name;
    EXPECT_EQ(Descriptions(shortLog), row.shortLines) << row.name;
  }
}

TEST(LogScript, VBScriptUsesAxLogLateBound) { ExpectScriptPasses(L"log_test.vbs"); }

// The container offers one point, for the event interface. Given and left
// out: every advised sink hears each message, in advise order, until it is
// unadvised; then it holds no reference. A sink's failure reaches the sender
// after every sink ran.
TEST(Msgr, EverySinkHearsEachMessageInAdviseOrderUntilUnadvised) {
  ComApartment com;
  // The sinks outlive the messenger: a failed check leaves them advised to it.
  std::vector<std::wstring> arrivals;
  RecordingSink first(DIID___CMsgr, L"first", arrivals, E_ACCESSDENIED), second(DIID___CMsgr, L"second", arrivals);
  const auto messenger = Create<_CMsgr>(CLSID_CMsgr, IID__CMsgr);
  const auto container = messenger.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  com_ptr<IConnectionPoint> point, other;
  ASSERT_EQ(container->FindConnectionPoint(DIID___CMsgr, point.put()), S_OK);
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, other.put()), CONNECT_E_NOCONNECTION);
  com_ptr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.put()), S_OK);
  ASSERT_EQ(points->Next(1, other.put(), nullptr), S_OK);
  com_ptr<IConnectionPointContainer> back;
  ASSERT_EQ(other->GetConnectionPointContainer(back.put()), S_OK);
  EXPECT_EQ(back.get(), container.get());
  const VARIANT missing = hg::win::MissingArgument();
  DWORD one = 0, two = 0;
  ASSERT_EQ(point->Advise(&first, &one), S_OK);
  ASSERT_EQ(point->Advise(&second, &two), S_OK);
  com_ptr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
  EXPECT_EQ(connections->Skip(2), S_OK);  // both sinks, and no more
  EXPECT_EQ(connections->Skip(1), S_FALSE);
  connections.reset();  // its snapshot holds the sinks too
  EXPECT_EQ(messenger->SendMsg(7, Long(42).get(), Text(L"me").get(), Text(L"you").get()), E_ACCESSDENIED);
  ASSERT_EQ(point->Unadvise(one), S_OK);
  EXPECT_EQ(first.references(), 1u);
  EXPECT_EQ(point->Unadvise(one), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(messenger->SendMsg(2, missing, missing, missing), S_OK);
  ASSERT_EQ(point->Unadvise(two), S_OK);
  EXPECT_EQ(second.references(), 1u);
  EXPECT_EQ(arrivals, (std::vector<std::wstring>{L"first:long 7|long 42|me|you", L"second:long 7|long 42|me|you",
                                                 L"second:long 2|missing||"}));
}

}  // namespace
