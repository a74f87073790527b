#include <windows.h>
#include <objbase.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/win/com_win.h"
#include "common/win/text_win.h"
#include "tests/support/com_test_win.h"
#include "tests/support/win_test_support.h"
#include "tkShared.h"

namespace {

using hg::test::Advised;
using hg::test::Long;
using hg::test::Text;
using hg::win::com_ptr;
using hg::win::Variant;

struct Arrival {
  std::wstring sink;
  long msg;
  Variant data;
  std::wstring sender;
  std::wstring receiver;
};

// A client's event sink for __CMsgr, recording every call in a shared list.
// It lives on the stack.
class Sink final : public hg::test::EventSink {
 public:
  Sink(std::wstring name, std::vector<Arrival>& arrivals, HRESULT answer = S_OK)
      : EventSink(DIID___CMsgr), name_(std::move(name)), arrivals_(arrivals), answer_(answer) {}

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                      EXCEPINFO*, UINT*) override {
    if (id != 1 || flags != DISPATCH_METHOD || params->cArgs != 4) return DISP_E_MEMBERNOTFOUND;
    const VARIANT* args = params->rgvarg;  // last argument first
    arrivals_.push_back({name_, args[3].vt == VT_I4 ? args[3].lVal : -999, Variant::CopyOf(args[2]),
                         hg::test::TextOf(args[1]), hg::test::TextOf(args[0])});
    return answer_;
  }

 private:
  std::wstring name_;
  std::vector<Arrival>& arrivals_;
  HRESULT answer_;
};

class MsgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto container = messenger.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(container);
    ASSERT_EQ(container->FindConnectionPoint(DIID___CMsgr, point.put()), S_OK);
  }

  HRESULT Send(long msg, VARIANT data, const wchar_t* sender, const wchar_t* receiver) {
    const VARIANT missing = hg::win::MissingArgument();
    return messenger->SendMsg(msg, data, sender ? Text(sender).get() : missing,
                              receiver ? Text(receiver).get() : missing);
  }

  hg::test::ComApartment com;
  com_ptr<_CMsgr> messenger = hg::test::Create<_CMsgr>(CLSID_CMsgr, IID__CMsgr);
  com_ptr<IConnectionPoint> point;
  std::vector<Arrival> arrivals;
};

TEST_F(MsgrTest, EverySinkGetsTheMessageInAdviseOrder) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  Advised one(point.get(), &first), two(point.get(), &second);
  EXPECT_NE(one.cookie(), two.cookie());

  ASSERT_EQ(Send(7, Long(42).get(), L"me", L"you"), S_OK);
  ASSERT_EQ(arrivals.size(), 2u);
  EXPECT_EQ(arrivals[0].sink, L"first");
  EXPECT_EQ(arrivals[1].sink, L"second");
  for (const Arrival& arrival : arrivals) {
    EXPECT_EQ(arrival.msg, 7);
    EXPECT_EQ(arrival.data.type(), VT_I4);
    EXPECT_EQ(arrival.data.get().lVal, 42);
    EXPECT_EQ(arrival.sender, L"me");
    EXPECT_EQ(arrival.receiver, L"you");
  }
  EXPECT_EQ(one.Unadvise(), S_OK);
  EXPECT_EQ(two.Unadvise(), S_OK);
}

TEST_F(MsgrTest, LeftOutDataArrivesMissingAndLeftOutTextsEmpty) {
  Sink sink(L"sink", arrivals);
  Advised advised(point.get(), &sink);
  ASSERT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_TRUE(hg::win::IsMissing(arrivals[0].data.get()));
  EXPECT_EQ(arrivals[0].sender, L"");
  EXPECT_EQ(arrivals[0].receiver, L"");
}

TEST_F(MsgrTest, LateBoundSendReachesTheSinks) {
  Sink sink(L"sink", arrivals);
  Advised advised(point.get(), &sink);
  auto dispatch = messenger.query<IDispatch>(IID_IDispatch);
  LPOLESTR name = const_cast<LPOLESTR>(L"SendMsg");
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  const Variant payload = Text(L"payload");
  VARIANT args[2] = {payload.get(), Long(3).get()};  // Data, then Msg: last argument first
  DISPPARAMS params{args, nullptr, 2, 0};
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                             nullptr, nullptr),
            S_OK);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].msg, 3);
  EXPECT_EQ(hg::test::TextOf(arrivals[0].data.get()), L"payload");
  EXPECT_EQ(arrivals[0].sender, L"");
}

TEST_F(MsgrTest, UnadvisedSinksHearNothingMoreAndLoseTheirReference) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  {
    Advised one(point.get(), &first), two(point.get(), &second);
    const DWORD cookie = one.cookie();
    ASSERT_EQ(one.Unadvise(), S_OK);
    EXPECT_EQ(first.references(), 1u);
    EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
    ASSERT_EQ(arrivals.size(), 1u);
    EXPECT_EQ(arrivals[0].sink, L"second");
  }
  EXPECT_EQ(second.references(), 1u);
}

TEST_F(MsgrTest, EnumConnectionsListsTheAdvisedSinks) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  {
    Advised one(point.get(), &first), two(point.get(), &second);
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
  EXPECT_EQ(first.references(), 1u);
}

TEST_F(MsgrTest, ASinkFailureReachesTheSenderAfterEverySinkRan) {
  Sink failing(L"failing", arrivals, E_ACCESSDENIED), second(L"second", arrivals);
  Advised one(point.get(), &failing), two(point.get(), &second);
  EXPECT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), E_ACCESSDENIED);
  EXPECT_EQ(arrivals.size(), 2u);
}

TEST_F(MsgrTest, TheContainerOffersOnePointForTheEventInterface) {
  auto container = messenger.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
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
