#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Text;
using hg::test::TextOf;
using hg::win::com_ptr;
using hg::win::Variant;

struct Delivery {
  std::string sink;
  DISPID id;
  UINT arguments;
  DWORD thread;
  Variant value;
};

// A client's event sink: records every call it receives into a shared log.
class Sink final : public hg::test::EventSink {
 public:
  static com_ptr<Sink> Make(std::string name, std::vector<Delivery>& log) {
    return com_ptr<Sink>::Attach(new Sink(std::move(name), log));
  }

  std::function<void()> onEvent;

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    log_.push_back({name_, id, params->cArgs, ::GetCurrentThreadId(),
                    params->cArgs ? Variant::CopyOf(params->rgvarg[0]) : Variant()});
    if (onEvent) onEvent();
    return S_OK;
  }

 protected:
  void OnLastRelease() override { delete this; }

 private:
  Sink(std::string name, std::vector<Delivery>& log)
      : EventSink(DIID___CreateThread), name_(std::move(name)), log_(log) {}

  std::string name_;
  std::vector<Delivery>& log_;
};

// Runs this thread's message loop until done() holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
  const ULONGLONG end = ::GetTickCount64() + milliseconds;
  for (;;) {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    if (done()) return true;
    if (::GetTickCount64() >= end) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Pump(DWORD milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

// The launcher's hidden windows alive on this thread.
int HiddenWindows() {
  int count = 0;
  HWND window = nullptr;
  while ((window = ::FindWindowExW(HWND_MESSAGE, window, L"tkSharedDeferredCall", nullptr))) {
    if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) ++count;
  }
  return count;
}

class LauncherTest : public ::testing::Test {
 protected:
  static com_ptr<_CreateThread> Create() {
    return hg::test::Create<_CreateThread>(CLSID_CreateThread, IID__CreateThread);
  }

  // The sink, advised for the life of the launcher (the connection points
  // themselves are tested with the message relay's).
  static void Advise(const com_ptr<_CreateThread>& source, const com_ptr<Sink>& sink) {
    auto container = source.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    com_ptr<IConnectionPoint> point;
    ASSERT_EQ(container->FindConnectionPoint(DIID___CreateThread, point.put()), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(sink.get(), &cookie), S_OK);
  }

  std::vector<Delivery> log;  // declared first: outlives the sinks and launchers
  hg::test::ComApartment com;
  com_ptr<_CreateThread> launcher = Create();
};

TEST_F(LauncherTest, DeliversOnceAfterStartReturnsOnTheSameThreadWithTheSameObject) {
  auto sink = Sink::Make("sink", log);
  Advise(launcher, sink);
  auto object = hg::test::Create<IDispatch>(CLSID_CCollection, IID_IDispatch);

  ASSERT_EQ(launcher->StartNewThread(hg::test::Object(object.get()).get()), S_OK);
  EXPECT_TRUE(log.empty());
  ::Sleep(300);  // without a message loop nothing arrives
  EXPECT_TRUE(log.empty());

  ASSERT_TRUE(PumpUntil([&] { return !log.empty(); }, 5000));
  Pump(300);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].id, 1);
  EXPECT_EQ(log[0].arguments, 1u);
  EXPECT_EQ(log[0].thread, ::GetCurrentThreadId());
  ASSERT_TRUE(log[0].value.type() == VT_DISPATCH || log[0].value.type() == VT_UNKNOWN);
  com_ptr<IUnknown> delivered, original;
  log[0].value.get().punkVal->QueryInterface(IID_IUnknown, delivered.put_void());
  object->QueryInterface(IID_IUnknown, original.put_void());
  EXPECT_EQ(delivered.get(), original.get());
  EXPECT_EQ(HiddenWindows(), 0);
}

TEST_F(LauncherTest, OnlyTheLatestPendingValueArrivesAndTheSupersededCallIsCancelled) {
  auto sink = Sink::Make("sink", log);
  Advise(launcher, sink);
  ASSERT_EQ(launcher->StartNewThread(Text(L"first").get()), S_OK);
  const ULONGLONG start = ::GetTickCount64();
  ASSERT_EQ(launcher->StartNewThread(Text(L"second").get()), S_OK);
  EXPECT_EQ(HiddenWindows(), 1);

  ASSERT_TRUE(PumpUntil([&] { return !log.empty(); }, 5000));
  const ULONGLONG elapsed = ::GetTickCount64() - start;  // about 100 ms
  EXPECT_GE(elapsed, 80u);
  EXPECT_LT(elapsed, 3000u);
  Pump(400);
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(TextOf(log[0].value.get()), L"second");
  EXPECT_EQ(HiddenWindows(), 0);
}

TEST_F(LauncherTest, TwoLaunchersDeliverIndependently) {
  auto other = Create();
  auto first = Sink::Make("first", log);
  auto second = Sink::Make("second", log);
  Advise(launcher, first);
  Advise(other, second);
  ASSERT_EQ(launcher->StartNewThread(Text(L"a").get()), S_OK);
  ASSERT_EQ(other->StartNewThread(Text(L"b").get()), S_OK);
  EXPECT_EQ(HiddenWindows(), 2);

  ASSERT_TRUE(PumpUntil([&] { return log.size() >= 2; }, 5000));
  Pump(300);
  ASSERT_EQ(log.size(), 2u);
  for (const Delivery& delivery : log) {
    EXPECT_EQ(TextOf(delivery.value.get()), delivery.sink == "first" ? L"a" : L"b") << delivery.sink;
  }
  EXPECT_NE(log[0].sink, log[1].sink);
}

TEST_F(LauncherTest, AListenerCanStartTheNextCall) {
  auto sink = Sink::Make("sink", log);
  sink->onEvent = [&] {
    if (log.size() == 1) {
      EXPECT_EQ(launcher->StartNewThread(Text(L"next").get()), S_OK);
    }
  };
  Advise(launcher, sink);
  ASSERT_EQ(launcher->StartNewThread(Text(L"first").get()), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return log.size() >= 2; }, 5000));
  Pump(300);
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(TextOf(log[0].value.get()), L"first");
  EXPECT_EQ(TextOf(log[1].value.get()), L"next");
  EXPECT_EQ(HiddenWindows(), 0);
}

TEST_F(LauncherTest, AReleasedLauncherDeliversNothing) {
  auto sink = Sink::Make("sink", log);
  Advise(launcher, sink);
  ASSERT_EQ(launcher->StartNewThread(Text(L"lost").get()), S_OK);
  launcher.reset();
  EXPECT_EQ(HiddenWindows(), 0);
  Pump(400);
  EXPECT_TRUE(log.empty());
}

TEST_F(LauncherTest, NamesItsDefaultEventsForScriptHosts) {
  auto provider = launcher.query<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_TRUE(provider);
  GUID events{};
  ASSERT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_EQ(events, DIID___CreateThread);

  com_ptr<ITypeInfo> coclass;
  ASSERT_EQ(provider->GetClassInfo(coclass.put()), S_OK);
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, CLSID_CreateThread);
  EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
  coclass->ReleaseTypeAttr(attributes);
}

}  // namespace
