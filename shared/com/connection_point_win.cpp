// Events: the connection point of a class's outgoing dispinterface.
#include "shared/com/connection_point_win.h"

#include <algorithm>
#include <new>

#include "common/win/result.h"
#include "shared/com/simple_object_win.h"

namespace tk {
namespace {

using hg::win::com_ptr;

// An enumerator over a snapshot, for IEnumConnections and IEnumConnectionPoints.
template <typename EnumInterface, typename Item>
class SnapshotEnum final : public SimpleObject<EnumInterface> {
 public:
  explicit SnapshotEnum(std::vector<Item> items, size_t position = 0)
      : items_(std::move(items)), position_(position) {
    for (Item& item : items_) AddRefItem(item);
  }

  STDMETHODIMP Next(ULONG wanted, Item* out, ULONG* fetched) override {
    if (!out || (wanted > 1 && !fetched)) return E_POINTER;
    ULONG done = 0;
    for (; done < wanted && position_ < items_.size(); ++done, ++position_) {
      out[done] = items_[position_];
      AddRefItem(out[done]);
    }
    if (fetched) *fetched = done;
    return done == wanted ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = items_.size() - position_;
    position_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(EnumInterface** copy) override {
    if (!copy) return E_POINTER;
    try {
      *copy = new SnapshotEnum(items_, position_);
      return S_OK;
    } catch (const std::bad_alloc&) {
      *copy = nullptr;
      return E_OUTOFMEMORY;
    }
  }

 private:
  ~SnapshotEnum() {
    for (Item& item : items_) ReleaseItem(item);
  }
  static void AddRefItem(CONNECTDATA& data) { data.pUnk->AddRef(); }
  static void ReleaseItem(CONNECTDATA& data) { data.pUnk->Release(); }
  static void AddRefItem(IConnectionPoint* point) { point->AddRef(); }
  static void ReleaseItem(IConnectionPoint* point) { point->Release(); }

  std::vector<Item> items_;
  size_t position_;
};

template <typename EnumInterface, typename Item>
HRESULT MakeEnum(std::vector<Item> items, EnumInterface** result) noexcept {
  if (!result) return E_POINTER;
  try {
    *result = new SnapshotEnum<EnumInterface, Item>(std::move(items));
    return S_OK;
  } catch (const std::bad_alloc&) {
    *result = nullptr;
    return E_OUTOFMEMORY;
  }
}

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = eventIid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = &container_;
  container_.AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  com_ptr<IDispatch> dispatch;
  // A sink answers to the event interface; script engines' sinks only to IDispatch.
  if (FAILED(sink->QueryInterface(eventIid_, dispatch.put_void())) &&
      FAILED(sink->QueryInterface(IID_IDispatch, dispatch.put_void()))) {
    return CONNECT_E_CANNOTCONNECT;
  }
  try {
    sinks_.emplace_back(nextCookie_, std::move(dispatch));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *cookie = nextCookie_++;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  const auto found = std::find_if(sinks_.begin(), sinks_.end(),
                                  [cookie](const auto& sink) { return sink.first == cookie; });
  if (found == sinks_.end()) return CONNECT_E_NOCONNECTION;
  sinks_.erase(found);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** result) {
  try {
    std::vector<CONNECTDATA> connections;
    for (const auto& [cookie, sink] : sinks_) connections.push_back({sink.get(), cookie});
    return MakeEnum(std::move(connections), result);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ConnectionPoint::Fire(DISPID id, std::span<VARIANT> args) noexcept {
  try {
    // A sink may unadvise, or advise another, while it handles the event.
    const auto sinks = sinks_;
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    HRESULT first = S_OK;
    for (const auto& [cookie, sink] : sinks) {
      EXCEPINFO exception{};
      const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      nullptr, &exception, nullptr);
      ::SysFreeString(exception.bstrSource);
      ::SysFreeString(exception.bstrDescription);
      ::SysFreeString(exception.bstrHelpFile);
      if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    }
    return first;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP EventSource::EnumConnectionPoints(IEnumConnectionPoints** result) {
  try {
    return MakeEnum(std::vector<IConnectionPoint*>{&point_}, result);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP EventSource::FindConnectionPoint(REFIID iid, IConnectionPoint** result) {
  if (!result) return E_POINTER;
  *result = nullptr;
  IID events;
  point_.GetConnectionInterface(&events);
  if (iid != events) return CONNECT_E_NOCONNECTION;
  *result = &point_;
  point_.AddRef();
  return S_OK;
}

}  // namespace tk
