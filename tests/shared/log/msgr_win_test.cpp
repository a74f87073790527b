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
    Arrival arrival{name_, args[3].vt == VT_I4 ? args[3].lVal : -999,
                    Variant::CopyOf(args[2]), Text(args[1]), Text(args[0])};
    arrivals_.push_back(std::move(arrival));
    return answer_;
  }

 private:
  static std::wstring Text(const VARIANT& v) {
    return v.vt == VT_BSTR ? std::wstring(v.bstrVal ? v.bstrVal : L"") : L"<not text>";
  }

  std::wstring name_;
  std::vector<Arrival>& arrivals_;
  HRESULT answer_;
};

class MsgrTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::CoCreateInstance(CLSID_CMsgr, nullptr, CLSCTX_INPROC_SERVER, IID__CMsgr,
                                 messenger.put_void()),
              S_OK);
    auto container = messenger.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(container);
    ASSERT_EQ(container->FindConnectionPoint(DIID___CMsgr, point.put()), S_OK);
  }

  HRESULT Send(long msg, VARIANT data, const wchar_t* sender, const wchar_t* receiver) {
    hg::win::unique_bstr from, to;
    VARIANT fromArg = hg::win::MissingArgument(), toArg = hg::win::MissingArgument();
    if (sender) {
      from = hg::win::MakeBstr(std::wstring_view(sender));
      fromArg.vt = VT_BSTR;
      fromArg.bstrVal = from.get();
    }
    if (receiver) {
      to = hg::win::MakeBstr(std::wstring_view(receiver));
      toArg.vt = VT_BSTR;
      toArg.bstrVal = to.get();
    }
    return messenger->SendMsg(msg, data, fromArg, toArg);
  }

  hg::test::ComApartment com;
  com_ptr<_CMsgr> messenger;
  com_ptr<IConnectionPoint> point;
  std::vector<Arrival> arrivals;
};

TEST_F(MsgrTest, EverySinkGetsTheMessageInAdviseOrder) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  DWORD cookie1 = 0, cookie2 = 0;
  ASSERT_EQ(point->Advise(&first, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  EXPECT_NE(cookie1, cookie2);

  VARIANT data;
  data.vt = VT_I4;
  data.lVal = 42;
  ASSERT_EQ(Send(7, data, L"me", L"you"), S_OK);
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
  EXPECT_EQ(point->Unadvise(cookie1), S_OK);
  EXPECT_EQ(point->Unadvise(cookie2), S_OK);
}

TEST_F(MsgrTest, LeftOutDataArrivesMissingAndLeftOutTextsEmpty) {
  Sink sink(L"sink", arrivals);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  ASSERT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].data.type(), VT_ERROR);
  EXPECT_EQ(arrivals[0].data.get().scode, DISP_E_PARAMNOTFOUND);
  EXPECT_EQ(arrivals[0].sender, L"");
  EXPECT_EQ(arrivals[0].receiver, L"");
  point->Unadvise(cookie);
}

TEST_F(MsgrTest, LateBoundSendReachesTheSinks) {
  Sink sink(L"sink", arrivals);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
  auto dispatch = messenger.query<IDispatch>(IID_IDispatch);
  LPOLESTR name = const_cast<LPOLESTR>(L"SendMsg");
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  hg::win::unique_bstr text = hg::win::MakeBstr(std::wstring_view(L"payload"));
  VARIANT args[2];  // Data, then Msg: last argument first
  args[0].vt = VT_BSTR;
  args[0].bstrVal = text.get();
  args[1].vt = VT_I4;
  args[1].lVal = 3;
  DISPPARAMS params{args, nullptr, 2, 0};
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                             nullptr, nullptr),
            S_OK);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].msg, 3);
  ASSERT_EQ(arrivals[0].data.type(), VT_BSTR);
  EXPECT_STREQ(arrivals[0].data.get().bstrVal, L"payload");
  EXPECT_EQ(arrivals[0].sender, L"");
  point->Unadvise(cookie);
}

TEST_F(MsgrTest, UnadvisedSinksHearNothingMoreAndLoseTheirReference) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  DWORD cookie1 = 0, cookie2 = 0;
  ASSERT_EQ(point->Advise(&first, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  ASSERT_EQ(point->Unadvise(cookie1), S_OK);
  EXPECT_EQ(first.references(), 1u);
  EXPECT_EQ(point->Unadvise(cookie1), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), S_OK);
  ASSERT_EQ(arrivals.size(), 1u);
  EXPECT_EQ(arrivals[0].sink, L"second");
  point->Unadvise(cookie2);
  EXPECT_EQ(second.references(), 1u);
}

TEST_F(MsgrTest, EnumConnectionsListsTheAdvisedSinks) {
  Sink first(L"first", arrivals), second(L"second", arrivals);
  DWORD cookie1 = 0, cookie2 = 0;
  ASSERT_EQ(point->Advise(&first, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  com_ptr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.put()), S_OK);
  CONNECTDATA data[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(data[0].dwCookie, cookie1);
  EXPECT_EQ(data[1].dwCookie, cookie2);
  EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&first));
  EXPECT_EQ(data[1].pUnk, static_cast<IUnknown*>(&second));
  for (ULONG i = 0; i < fetched; ++i) data[i].pUnk->Release();
  connections.reset();
  point->Unadvise(cookie1);
  point->Unadvise(cookie2);
  EXPECT_EQ(first.references(), 1u);
}

TEST_F(MsgrTest, ASinkFailureReachesTheSenderAfterEverySinkRan) {
  Sink failing(L"failing", arrivals, E_ACCESSDENIED), second(L"second", arrivals);
  DWORD cookie1 = 0, cookie2 = 0;
  ASSERT_EQ(point->Advise(&failing, &cookie1), S_OK);
  ASSERT_EQ(point->Advise(&second, &cookie2), S_OK);
  EXPECT_EQ(Send(1, hg::win::MissingArgument(), nullptr, nullptr), E_ACCESSDENIED);
  EXPECT_EQ(arrivals.size(), 2u);
  point->Unadvise(cookie1);
  point->Unadvise(cookie2);
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
