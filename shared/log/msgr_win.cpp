// CMsgr: relays every message sent on it to its listeners as MsgArrived.
#include <array>

#include "common/win/com_win.h"
#include "common/win/result.h"
#include "common/win/text_win.h"
#include "common/win/variant_win.h"
#include "shared/com/connection_point_win.h"
#include "shared/com/dispatch_win.h"
#include "shared/log/log_win.h"
#include "tkShared.h"

namespace tk {
namespace {

constexpr DISPID kMsgArrived = 1;

// A text parameter the caller may leave out (empty text).
hg::win::unique_bstr OptionalText(const VARIANT& value) {
  const VARIANT& given = hg::win::Deref(value);
  if (hg::win::IsMissing(given)) return hg::win::MakeBstr(std::wstring_view());
  hg::win::Variant text;
  THROW_IF_FAILED(::VariantChangeType(text.put(), const_cast<VARIANT*>(&given), 0, VT_BSTR));
  return hg::win::MakeBstr(std::wstring_view(text.get().bstrVal, ::SysStringLen(text.get().bstrVal)));
}

class Msgr final : public DispatchObject<Msgr, _CMsgr, EventSourceOf<DIID___CMsgr>> {
 public:
  static constexpr wchar_t kClassName[] = L"CMsgr";

  STDMETHODIMP SendMsg(LONG msg, VARIANT data, VARIANT sender, VARIANT receiver) override {
    hg::win::unique_bstr from, to;
    const HRESULT converted = Trap([&] {
      from = OptionalText(sender);
      to = OptionalText(receiver);
    });
    if (FAILED(converted)) return converted;
    // Data passes on as it came: one left out stays a missing value.
    std::array<VARIANT, 4> args{};
    args[0].vt = VT_I4;
    args[0].lVal = msg;
    args[1] = hg::win::Deref(data);
    args[2] = hg::win::BorrowedText(from.get());
    args[3] = hg::win::BorrowedText(to.get());
    // A listener's failure reaches the sender as it is.
    return Events().Fire(kMsgArrived, args);
  }

 protected:
  void* QueryOther(REFIID iid) noexcept override {
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
  }
};

}  // namespace

HRESULT CreateMsgr(REFIID iid, void** object) noexcept {
  return CreateInstance<Msgr>(iid, object);
}

}  // namespace tk
