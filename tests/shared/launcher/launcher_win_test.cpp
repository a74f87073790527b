// CreateThread under Wine: a C++ client with event sinks and a message loop
// (script clients cannot sink events).
#include <algorithm>

#include "tests/shared/library_test_win.h"

namespace {

using hg::test::RecordingSink;
using hg::test::Text;
using hg::win::com_ptr;

// Runs this thread's message loop as a script client does, a message per
// CGlobal.DoEventsA, until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const auto global = hg::test::Create<_CGlobal>(CLSID_CGlobal, IID__CGlobal);
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (; !done(); ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT)) {
    if (::GetTickCount64() >= end) return false;
    EXPECT_EQ(global->DoEventsA(), S_OK);
  }
  return true;
}

// The launcher's hidden windows alive on this thread.
int HiddenWindows() {
  int count = 0;
  for (HWND window = nullptr; (window = ::FindWindowExW(HWND_MESSAGE, window, L"tkSharedDeferredCall", nullptr));) {
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) ++count;
  }
  return count;
}

// A launcher with the sink advised for its life. It names its events as its
// default, which is how script hosts find them (the connection points
// themselves are tested with the message relay's).
com_ptr<_CreateThread> Launcher(RecordingSink& sink) {
  auto launcher = hg::test::Create<_CreateThread>(CLSID_CreateThread, IID__CreateThread);
  const auto provider = launcher.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  EXPECT_EQ(provider->GetClassInfo(com_ptr<ITypeInfo>().put()), S_OK);
  GUID events{};
  EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID___CreateThread);
  auto container = launcher.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
  com_ptr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(DIID___CreateThread, point.put()), S_OK);
  DWORD cookie = 0;
  EXPECT_EQ(point->Advise(&sink, &cookie), S_OK);
  return launcher;
}

// Each launcher delivers the value of its latest call once, about 100 ms
// after it, through the caller's own message loop (on no other thread); a
// launcher released before then delivers nothing, and a listener may start
// the next call.
TEST(Launcher, EachLauncherDeliversItsLatestValueOnceThroughTheMessageLoop) {
  const hg::test::ComApartment com;
  const struct {
    const char* name;
    std::vector<std::pair<int, const wchar_t*>> calls;  // a launcher and its value; no value releases it
    int hiddenWindows;
    std::vector<std::wstring> delivered;
  } rows[] = {
      {"a superseded call", {{0, L"a"}, {0, L"b"}}, 1, {L"first:b"}},
      {"two launchers", {{0, L"a"}, {1, L"b"}}, 2, {L"first:a", L"second:b"}},
      {"a listener's next call", {{2, L"a"}}, 1, {L"next:a", L"next:b"}},
      {"a released launcher", {{0, L"a"}, {0, nullptr}}, 0, {}},
  };
  for (const auto& row : rows) {
    std::vector<std::wstring> log;
    RecordingSink first(DIID___CreateThread, L"first", log), second(DIID___CreateThread, L"second", log);
    RecordingSink next(DIID___CreateThread, L"next", log);
    std::vector<com_ptr<_CreateThread>> launchers = {Launcher(first), Launcher(second), Launcher(next)};
    next.onEvent = [&](DISPPARAMS&) {
      if (log.size() == 1) launchers[2]->StartNewThread(Text(L"b").get());
    };
    for (const auto& [launcher, value] : row.calls) {
      if (!value) {
        launchers[launcher].reset();
      } else {
        EXPECT_EQ(launchers[launcher]->StartNewThread(Text(value).get()), S_OK) << row.name;
      }
    }
    EXPECT_EQ(HiddenWindows(), row.hiddenWindows) << row.name;
    const ULONGLONG started = ::GetTickCount64();
    EXPECT_TRUE(PumpUntil([&] { return log.size() >= row.delivered.size(); }, 5000)) << row.name;
    // Never before the call returns, nor much sooner than 100 ms after it.
    EXPECT_TRUE(row.delivered.empty() || ::GetTickCount64() - started >= 80u) << row.name;
    PumpUntil([] { return false; }, 300);
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, row.delivered) << row.name;
    EXPECT_TRUE(first.thread == 0 || first.thread == ::GetCurrentThreadId()) << row.name;
    EXPECT_EQ(HiddenWindows(), 0) << row.name;
  }
}

}  // namespace
